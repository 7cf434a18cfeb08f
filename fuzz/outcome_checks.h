// What an evaluation may legitimately print and how it may end. Every check
// that fails reports on stderr and aborts, which libFuzzer records as a
// finding together with the input.
#ifndef KELVARO_FUZZ_OUTCOME_CHECKS_H
#define KELVARO_FUZZ_OUTCOME_CHECKS_H

#include "fatal_stop_seam.h"

#include <string>
#include <string_view>

namespace kelvaro_fuzz {

// How one evaluation ended.
struct Outcome {
    std::string output;      // everything written to stdout
    bool stopped = false;    // FatalStop was reached
    FatalStopped stop{0, 0}; // valid when stopped
};

// Reports `what`, the expression and the end of the output, then aborts.
void Require(bool condition, const char *what, std::string_view expression,
             const Outcome &outcome);

// "%f" text as the library writes it: -?digits.dddddd, or inf, -inf, nan.
bool IsValueText(std::string_view text);

// Checks the whole output of an evaluation of the 8-bit `expression`: any
// number of "Top of stack: <value>" lines and stack listings (an empty line,
// a rule, at most 265 values, a rule), then
//   - when stopped, exactly one message line that fits the stop: the
//     overflow message with status -1 and a full stack, the underflow
//     message with status 1 and an empty stack, or the invalid-character
//     message with status 1 naming a byte of `expression` that is no command;
//   - otherwise nothing when `resultLine` is null, or the line
//     "result = <resultLine>".
void CheckOutput(std::string_view expression, const Outcome &outcome,
                 const std::string *resultLine);

}  // namespace kelvaro_fuzz

#endif
