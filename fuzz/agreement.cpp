#include "agreement.h"

#include "api_text.h"
#include "require.h"

namespace kelvaro_fuzz {
namespace {

std::string ResultLine(double value)
{
    return "result = " + Fixed(value) + "\n";
}

}  // namespace

std::string ExpectedLegacyOutput(std::string_view text, const ApiEvaluation &api)
{
    const kelvaro_rpn_outcome &outcome = api.outcome;
    return api.listing.Lines() + (outcome.status == KELVARO_RPN_OK ? ResultLine(outcome.value)
                                                                   : Message(outcome, text));
}

void CheckLegacyAgrees(std::string_view text, const ApiEvaluation &api,
                       const LegacyEvaluation &legacy)
{
    const kelvaro_rpn_outcome &expected = api.outcome;
    const kelvaro_rpn_outcome &outcome = legacy.outcome;
    Require(outcome.status == expected.status,
            "the legacy path and the API end with different statuses", text, legacy.output);
    if (expected.status == KELVARO_RPN_OK) {
        Require(BitsOf(outcome.value) == BitsOf(expected.value),
                "the legacy path and the API differ in the value", text, legacy.output);
    } else {
        Require(outcome.offset == expected.offset,
                "the legacy path and the API fail at different offsets", text, legacy.output);
    }
    Require(legacy.output == ExpectedLegacyOutput(text, api),
            "the legacy output is not the API's listing lines and outcome line", text,
            legacy.output);
}

}  // namespace kelvaro_fuzz
