#include "engine/output_lines.h"

#include <cstring>

namespace kelvaro {
namespace {

constexpr char kResultPrefix[] = "result = ";
constexpr char kTopPrefix[] = "Top of stack: ";
constexpr char kInvalidPrefix[] = "Invalid character: '";
constexpr char kUnderflowLine[] = "you have a stack underflow!\n";
constexpr char kOverflowLine[] = "you have a stack overflow!\n";
constexpr char kEmptyLine[] = "\n";
constexpr char kRuleLine[] = "---------\n";

static_assert(sizeof kResultPrefix - 1 == kResultPrefixLength);

template <std::size_t N>
std::size_t Copy(char *out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return N - 1;
}

std::size_t ValueLine(char *out, std::size_t prefixLength, Value value)
{
    std::size_t length = prefixLength + FormatFixed(out + prefixLength, value);
    out[length++] = '\n';
    return length;
}

}  // namespace

std::size_t FormatResultLine(char *out, Value value)
{
    return ValueLine(out, Copy(out, kResultPrefix), value);
}

std::size_t FormatTopLine(char *out, Value value)
{
    return ValueLine(out, Copy(out, kTopPrefix), value);
}

std::size_t FormatFailureLine(char *out, Status status, unsigned char byte)
{
    switch (status) {
    case Status::kInvalidCharacter: {
        std::size_t length = Copy(out, kInvalidPrefix);
        out[length++] = static_cast<char>(byte);
        out[length++] = '\'';
        out[length++] = '\n';
        return length;
    }
    case Status::kStackUnderflow: return Copy(out, kUnderflowLine);
    case Status::kStackOverflow: return Copy(out, kOverflowLine);
    case Status::kOk: break;
    }
    return 0;
}

void WriteStackLines(LineWriter write, void *context, const Value *values, std::size_t count)
{
    write(context, kEmptyLine, sizeof kEmptyLine - 1);
    write(context, kRuleLine, sizeof kRuleLine - 1);
    char line[kMaxLineLength];
    for (std::size_t i = count; i-- > 0;) {
        write(context, line, ValueLine(line, 0, values[i]));
    }
    write(context, kRuleLine, sizeof kRuleLine - 1);
}

}  // namespace kelvaro
