// One evaluation as CalculatorRPN performs it, short of converting the host's
// text and ending the process: a client of the reentrant API whose memory does
// not grow with the text's length.
#ifndef KELVARO_EXPORT_LEGACY_RUN_H
#define KELVARO_EXPORT_LEGACY_RUN_H

#include <kelvaro/rpn.h>

#include <cstddef>

namespace kelvaro {

using LineWriter = void (*)(void *context, const char *line, std::size_t length);

// Where the text comes from: `read` writes up to `capacity` bytes at
// `buffer`, returns how many, and sets `ended` once nothing is left after
// them.
struct TextSource {
    std::size_t (*read)(void *context, char *buffer, std::size_t capacity, bool &ended);
    void *context;
};

// Evaluates the text and writes each listing line and, on a failure, its
// message line through `write`; the result line is the caller's. A text that
// fits the `capacity` bytes at `buffer` (at least 8) is evaluated in one go;
// a longer one piece by piece on a calculator, split after spaces and tabs,
// with exactly the same lines and outcome. Returns outcome->status; the
// offset counts from the start of the text. Allocates only for a text longer
// than `capacity`, once; if that fails, the outcome is an overflow.
kelvaro_rpn_status RunLegacy(TextSource source, char *buffer, std::size_t capacity,
                             LineWriter write, void *context, kelvaro_rpn_outcome *outcome);

}  // namespace kelvaro

#endif
