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
    const kelvaro::Outcome &outcome = legacy.outcome;
    Require(static_cast<int>(outcome.status) == static_cast<int>(expected.status),
            "the legacy path and the API end with different statuses", text, legacy.output);
    if (expected.status == KELVARO_RPN_OK) {
        Require(BitsOf(outcome.value) == BitsOf(expected.value),
                "the legacy path and the API differ in the value", text, legacy.output);
        Require(legacy.resultLine == ResultLine(expected.value),
                "the legacy result line is not the API's value", text, legacy.output);
    } else {
        Require(outcome.offset == expected.offset,
                "the legacy path and the API fail at different offsets", text, legacy.output);
        Require(legacy.resultLine.empty(), "a failed legacy run left a result line", text,
                legacy.output);
        Require(expected.status != KELVARO_RPN_INVALID_CHARACTER ||
                    outcome.byte == static_cast<unsigned char>(text[expected.offset]),
                "the legacy invalid byte is not the byte at the offset", text, legacy.output);
    }
    Require(legacy.output == ExpectedLegacyOutput(text, api),
            "the legacy output is not the API's listing lines and outcome line", text,
            legacy.output);
}

}  // namespace kelvaro_fuzz
