#include "listing_checks.h"

#include "api_text.h"
#include "notation_rules.h"
#include "require.h"

#include <string>
#include <vector>

namespace kelvaro_fuzz {
namespace {

constexpr char kRuleLine[] = "---------\n";

// The lines a values report stands for.
std::vector<std::string> LinesOf(const ListingEvent &report, std::string_view text)
{
    const kelvaro::Command *command = FindCommand(report.command);
    Require(IsListing(command), "values reported for a command that lists nothing", text);
    std::vector<std::string> lines;
    if (command->operation == kelvaro::Operation::kShowTop) {
        Require(report.values.size() == 1, "not one value reported for the top", text);
        lines.push_back("Top of stack: " + Fixed(report.values.front()) + "\n");
        return lines;
    }
    Require(report.values.size() <= KELVARO_RPN_STACK_CAPACITY,
            "more values reported than the stack holds", text);
    lines.emplace_back("\n");
    lines.emplace_back(kRuleLine);
    for (auto value = report.values.rbegin(); value != report.values.rend(); ++value) {
        lines.push_back(Fixed(*value) + "\n");
    }
    lines.emplace_back(kRuleLine);
    return lines;
}

}  // namespace

void CheckListingConsistent(std::string_view text, const ApiEvaluation &api)
{
    const std::vector<ListingEvent> &events = api.listing.events;
    const std::string lines = api.listing.Lines();
    std::string reported;
    std::size_t i = 0;
    while (i < events.size()) {
        Require(!events[i].isLine, "a listing line without its values", text, lines);
        reported += events[i].command;
        for (const std::string &line : LinesOf(events[i], text)) {
            ++i;
            Require(i < events.size() && events[i].isLine && events[i].line == line,
                    "a listing line differs from the values reported", text, lines);
        }
        ++i;
    }
    const std::size_t end =
        api.outcome.status == KELVARO_RPN_OK ? text.size() : api.outcome.offset;
    Require(reported == ListingTokens(text, end),
            "the listings made are not the listing tokens before the end", text, lines);
}

}  // namespace kelvaro_fuzz
