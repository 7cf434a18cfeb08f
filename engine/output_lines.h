// The lines of the library's listings and failure messages, formatted in
// this one place.
#ifndef KELVARO_ENGINE_OUTPUT_LINES_H
#define KELVARO_ENGINE_OUTPUT_LINES_H

#include <kelvaro/rpn.h>

#include "engine/number_text.h"
#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

using LineWriter = void (*)(void *context, const char *line, std::size_t length);

// Room for any line below, the longest "%f" value included.
constexpr std::size_t kMaxLineLength = 32 + kMaxFixedText;

// Each writes one line, '\n' included but no NUL, and returns its length.
std::size_t FormatTopLine(char *out, Value value);  // "Top of stack: %f\n"

// "Invalid character: 'c'\n" with the byte itself (a NUL as the escape \0),
// "you have a stack underflow!\n", "you have a stack overflow!\n" or "out of
// memory\n"; nothing (0) for any other status, KELVARO_RPN_OK and numbers
// outside the enumeration included.
std::size_t FormatFailureLine(char *out, int status, unsigned char byte);

// The '@' listing of `count` values, values[0] the bottom: an empty line, a
// rule, one "%f" line per value from the top down, the rule again.
void WriteStackLines(LineWriter write, void *context, const Value *values, std::size_t count);

// The lines of '#' (the top, values[count - 1]) or '@' with the values at
// `decimals` (0 to kMaxDecimals), or as FormatShortest writes them for
// kShortestDecimals; nothing for another command or count 0 with '#'.
constexpr int kShortestDecimals = -1;
void WriteListingLines(LineWriter write, void *context, char command, const Value *values, std::size_t count,
                       int decimals);

}  // namespace kelvaro

#endif
