#include "engine/output_lines.h"

#include <cstring>

namespace kelvaro {
namespace {

constexpr char kTopPrefix[] = "Top of stack: ";
constexpr char kInvalidPrefix[] = "Invalid character: '";
constexpr char kUnderflowLine[] = "you have a stack underflow!\n";
constexpr char kOverflowLine[] = "you have a stack overflow!\n";
constexpr char kOutOfMemoryLine[] = "out of memory\n";
constexpr char kEmptyLine[] = "\n";
constexpr char kRuleLine[] = "---------\n";

template <std::size_t N>
std::size_t Copy(char *out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return N - 1;
}

// "%f": the legacy lines.
constexpr int kLegacyDecimals = 6;

std::size_t ValueLine(char *out, std::size_t prefixLength, Value value, int decimals = kLegacyDecimals)
{
    char *text = out + prefixLength;
    std::size_t length = prefixLength + (decimals == kLegacyDecimals                   ? FormatFixed(text, value)
                                         : decimals == kShortestDecimals ? FormatShortest(text, value)
                                                                         : FormatDecimals(text, value, decimals));
    out[length++] = '\n';
    return length;
}

}  // namespace

std::size_t FormatTopLine(char *out, Value value)
{
    return ValueLine(out, Copy(out, kTopPrefix), value);
}

std::size_t FormatFailureLine(char *out, int status, unsigned char byte)
{
    switch (status) {
    case KELVARO_RPN_INVALID_CHARACTER: {
        std::size_t length = Copy(out, kInvalidPrefix);
        if (byte == '\0') {
            // Escaped: a raw NUL would end the line for anyone printing it
            // with %s.
            out[length++] = '\\';
            out[length++] = '0';
        } else {
            out[length++] = static_cast<char>(byte);
        }
        out[length++] = '\'';
        out[length++] = '\n';
        return length;
    }
    case KELVARO_RPN_STACK_UNDERFLOW: return Copy(out, kUnderflowLine);
    case KELVARO_RPN_STACK_OVERFLOW: return Copy(out, kOverflowLine);
    case KELVARO_RPN_OUT_OF_MEMORY: return Copy(out, kOutOfMemoryLine);
    default: break;
    }
    return 0;
}

void WriteStackLines(LineWriter write, void *context, const Value *values, std::size_t count)
{
    WriteListingLines(write, context, '@', values, count, kLegacyDecimals);
}

void WriteListingLines(LineWriter write, void *context, char command, const Value *values, std::size_t count,
                       int decimals)
{
    char line[sizeof kTopPrefix + kMaxDecimalsText + 1];
    if (decimals < kShortestDecimals || decimals > kMaxDecimals) {
        return;
    }
    if (command == '#' && count > 0) {
        write(context, line, ValueLine(line, Copy(line, kTopPrefix), values[count - 1], decimals));
        return;
    }
    if (command != '@') {
        return;
    }
    write(context, kEmptyLine, sizeof kEmptyLine - 1);
    write(context, kRuleLine, sizeof kRuleLine - 1);
    for (std::size_t i = count; i-- > 0;) {
        write(context, line, ValueLine(line, 0, values[i], decimals));
    }
    write(context, kRuleLine, sizeof kRuleLine - 1);
}

}  // namespace kelvaro
