// One evaluation through the legacy path short of ending the process:
// kelvaro::RunLegacy, its output collected in memory.
#ifndef KELVARO_FUZZ_LEGACY_EVALUATION_H
#define KELVARO_FUZZ_LEGACY_EVALUATION_H

#include "engine/outcome.h"

#include <string>
#include <string_view>

namespace kelvaro_fuzz {

struct LegacyEvaluation {
    kelvaro::Outcome outcome{};
    std::string output;      // every line written, in order
    std::string resultLine;  // what RunLegacy left in its result line
};

LegacyEvaluation EvaluateLegacy(std::string_view text);

}  // namespace kelvaro_fuzz

#endif
