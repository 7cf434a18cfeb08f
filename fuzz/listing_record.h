// Everything the listing callbacks of kelvaro/rpn.h report, in call order.
#ifndef KELVARO_FUZZ_LISTING_RECORD_H
#define KELVARO_FUZZ_LISTING_RECORD_H

#include <kelvaro/rpn.h>

#include <string>
#include <vector>

namespace kelvaro_fuzz {

// One callback: a line, or the values of one '#' or '@'.
struct ListingEvent {
    bool isLine = false;
    std::string line;            // the line, '\n' included
    char command = '\0';         // the values' command
    std::vector<double> values;  // as reported, values[0] first

    // Values compare bit for bit.
    bool operator==(const ListingEvent &other) const;
};

struct ListingRecord {
    std::vector<ListingEvent> events;

    // Callbacks that append to `events`; valid while this record lives.
    kelvaro_rpn_listing Callbacks();

    // The lines alone, joined in order.
    std::string Lines() const;
};

}  // namespace kelvaro_fuzz

#endif
