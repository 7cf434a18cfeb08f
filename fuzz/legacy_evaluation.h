// One evaluation through the legacy path short of ending the process:
// kelvaro::EvaluatePiecewise, its listings collected in memory, then the
// message or result line that CalculatorRPN writes after them.
#ifndef KELVARO_FUZZ_LEGACY_EVALUATION_H
#define KELVARO_FUZZ_LEGACY_EVALUATION_H

#include <kelvaro/rpn.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvaro_fuzz {

struct LegacyEvaluation {
    kelvaro_rpn_outcome outcome{};
    std::string output;  // every line written, in order
};

// Reads the text through a buffer of `capacity` bytes (at least 8): a text
// longer than that goes through the legacy path's piece-by-piece reading.
LegacyEvaluation EvaluateLegacy(std::string_view text, std::size_t capacity);

// A buffer size from 8 to 64 picked from the text, so that most texts of more
// than a few tokens are read in pieces.
std::size_t PieceCapacity(std::string_view text);

}  // namespace kelvaro_fuzz

#endif
