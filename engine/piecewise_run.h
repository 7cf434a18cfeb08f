// Evaluation of a text of any length through a buffer of fixed size: the
// text is read from a source a buffer at a time and evaluated piece by piece
// on one stack, with exactly the lines and outcome of evaluating it whole.
#ifndef KELVARO_ENGINE_PIECEWISE_RUN_H
#define KELVARO_ENGINE_PIECEWISE_RUN_H

#include <kelvaro/rpn.h>

#include <cstddef>

namespace kelvaro {

// Where the text comes from: `read` writes up to `capacity` bytes at
// `buffer`, returns how many, and sets `ended` once nothing is left after
// them. It may write nothing while it has more, when what comes next needs
// more room than `capacity`.
struct TextSource {
    std::size_t (*read)(void *context, char *buffer, std::size_t capacity, bool &ended);
    void *context;
};

struct PiecewiseOutcome {
    kelvaro_rpn_outcome outcome;  // the offset counts from the start of the text
    // On an invalid character, the byte it is: the text itself is gone by
    // then, and the message names the byte.
    char failedByte;
};

// Evaluates the text whose first `filled` bytes are already at `buffer`
// (all of it when `ended`) and whose rest `source` gives, through the
// `capacity` bytes at `buffer` (at least 8), reporting '#' and '@' to `listing` as kelvaro_rpn_evaluate_listing
// does. A text that ends within the buffer is evaluated in one go; a longer
// one in pieces split after spaces and tabs, and a token longer than the
// buffer on its own: a number as its first kMaxSignificantDigits significant
// digits and whether any later one is not 0, which decides the same double,
// any other token as its first byte. Allocates only for a text longer than
// `capacity`, once, its stack; if that fails, the outcome is
// KELVARO_RPN_OUT_OF_MEMORY at offset 0.
PiecewiseOutcome EvaluatePiecewise(TextSource source, char *buffer, std::size_t capacity,
                                   std::size_t filled, bool ended,
                                   const kelvaro_rpn_listing &listing);

}  // namespace kelvaro

#endif
