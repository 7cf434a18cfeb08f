// The legacy path against the public API: both evaluate with the same
// engine, so for the same bytes they must end the same way and the legacy
// output must be the API's listing lines and its texts for the outcome.
#ifndef KELVARO_FUZZ_AGREEMENT_H
#define KELVARO_FUZZ_AGREEMENT_H

#include "api_evaluation.h"
#include "legacy_evaluation.h"

#include <string>
#include <string_view>

namespace kelvaro_fuzz {

// The API's listing lines, then "result = " with kelvaro_rpn_format_fixed of
// the value, or kelvaro_rpn_format_message's line for a failure.
std::string ExpectedLegacyOutput(std::string_view text, const ApiEvaluation &api);

// Status, offset (failure) or value (success, bit for bit), and the whole
// output.
void CheckLegacyAgrees(std::string_view text, const ApiEvaluation &api,
                       const LegacyEvaluation &legacy);

}  // namespace kelvaro_fuzz

#endif
