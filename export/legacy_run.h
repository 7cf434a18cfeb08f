// One evaluation as CalculatorRPN performs it, short of ending the process:
// the listings, then the result line or the failure message, all through one
// line writer.
#ifndef KELVARO_EXPORT_LEGACY_RUN_H
#define KELVARO_EXPORT_LEGACY_RUN_H

#include "engine/outcome.h"
#include "engine/output_lines.h"
#include "export/console.h"
#include "export/fatal_stop.h"

#include <cstddef>

namespace kelvaro {

// Exit statuses of the legacy contract.
constexpr int kStatusInvalidOrUnderflow = 1;
constexpr int kStatusOverflow = -1;

// The status CalculatorRPN ends the process with after `status`.
int ExitStatusOf(Status status);

// Evaluates the `length` bytes at `text` on a stack of its own and writes
// each listing line, then "result = %f\n" or the failure message, through
// `write`. The result line is also left in `resultLine` (kMaxLineLength
// bytes, no NUL) with its length in `resultLength`; on a failure
// `resultLength` is 0.
Outcome RunLegacy(const char *text, std::size_t length, LineWriter write, void *context,
                  char *resultLine, std::size_t &resultLength);

// RunLegacy onto standard output; a failure then ends the process through
// FatalStop with ExitStatusOf its status, so this returns only the value.
inline Value EvaluateOrStop(const char *text, std::size_t length, char *resultLine,
                            std::size_t &resultLength)
{
    const Outcome outcome =
        RunLegacy(text, length, WriteToStdout, nullptr, resultLine, resultLength);
    if (outcome.status != Status::kOk) {
        FatalStop(ExitStatusOf(outcome.status));
    }
    return outcome.value;
}

}  // namespace kelvaro

#endif
