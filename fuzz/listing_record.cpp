#include "listing_record.h"

#include "api_text.h"

#include <utility>

namespace kelvaro_fuzz {
namespace {

void RecordLine(void *context, const char *text, std::size_t length)
{
    ListingEvent event;
    event.isLine = true;
    event.line.assign(text, length);
    static_cast<ListingRecord *>(context)->events.push_back(std::move(event));
}

void RecordValues(void *context, char command, const double *values, std::size_t count)
{
    ListingEvent event;
    event.command = command;
    event.values.assign(values, values + count);
    static_cast<ListingRecord *>(context)->events.push_back(std::move(event));
}

}  // namespace

bool ListingEvent::operator==(const ListingEvent &other) const
{
    if (isLine != other.isLine || line != other.line || command != other.command ||
        values.size() != other.values.size()) {
        return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (BitsOf(values[i]) != BitsOf(other.values[i])) {
            return false;
        }
    }
    return true;
}

kelvaro_rpn_listing ListingRecord::Callbacks()
{
    return kelvaro_rpn_listing{RecordLine, RecordValues, this};
}

std::string ListingRecord::Lines() const
{
    std::string lines;
    for (const ListingEvent &event : events) {
        lines += event.line;
    }
    return lines;
}

}  // namespace kelvaro_fuzz
