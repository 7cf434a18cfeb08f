// Every line the library's legacy output holds, formatted in this one place:
// the result line, the two listings and the failure messages.
#ifndef KELVARO_ENGINE_OUTPUT_LINES_H
#define KELVARO_ENGINE_OUTPUT_LINES_H

#include "engine/number_text.h"
#include "engine/outcome.h"
#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

using LineWriter = void (*)(void *context, const char *line, std::size_t length);

// Room for any line below, the longest "%f" value included.
constexpr std::size_t kMaxLineLength = 32 + kMaxFixedText;

// "result = " and then the value: the value starts at this offset.
constexpr std::size_t kResultPrefixLength = 9;

// Each writes one line, '\n' included but no NUL, and returns its length.
std::size_t FormatResultLine(char *out, Value value);  // "result = %f\n"
std::size_t FormatTopLine(char *out, Value value);     // "Top of stack: %f\n"

// "Invalid character: 'c'\n" with the byte itself, "you have a stack
// underflow!\n" or "you have a stack overflow!\n"; nothing (0) for kOk.
std::size_t FormatFailureLine(char *out, Status status, unsigned char byte);

// The '@' listing of `count` values, values[0] the bottom: an empty line, a
// rule, one "%f" line per value from the top down, the rule again.
void WriteStackLines(LineWriter write, void *context, const Value *values, std::size_t count);

}  // namespace kelvaro

#endif
