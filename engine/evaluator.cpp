#include "evaluator.h"

#include "console.h"
#include "number_text.h"
#include "value_stack.h"

#include <cmath>

namespace kelvaro {
namespace {

constexpr Value kConstantP = 3.1415;

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool IsSeparator(unsigned char c)
{
    return c == ' ' || c == '\t';
}

[[noreturn]] void InvalidCharacter(unsigned char c)
{
    char line[] = "Invalid character: ' '\n";
    line[sizeof line - 4] = static_cast<char>(c);
    FailWith(line, sizeof line - 1, kStatusInvalidOrUnderflow);
}

// Pops the right operand, then the left one.
template <typename Operation>
void ApplyBinary(Operation operation)
{
    const Value a = PopValue();
    const Value b = PopValue();
    PushValue(operation(b, a));
}

void ApplyUnary(Value (*function)(Value))
{
    PushValue(function(PopValue()));
}

void ShowTop()
{
    static constexpr char kPrefix[] = "Top of stack: ";
    WriteValueLine(kPrefix, sizeof kPrefix - 1, PeekValue());
}

void Exchange()
{
    const Value a = PopValue();
    const Value b = PopValue();
    PushValue(a);
    PushValue(b);
}

void RunCommand(unsigned char c)
{
    switch (c) {
    case '+': ApplyBinary([](Value b, Value a) { return b + a; }); break;
    case '-': ApplyBinary([](Value b, Value a) { return b - a; }); break;
    case '*': ApplyBinary([](Value b, Value a) { return b * a; }); break;
    case '/': ApplyBinary([](Value b, Value a) { return b / a; }); break;
    case '%': ApplyBinary([](Value b, Value a) { return std::fmod(b, a); }); break;
    case '^': ApplyBinary([](Value b, Value a) { return std::pow(b, a); }); break;
    case 's': ApplyUnary([](Value a) { return std::sin(a); }); break;
    case 'c': ApplyUnary([](Value a) { return std::cos(a); }); break;
    case 't': ApplyUnary([](Value a) { return std::tan(a); }); break;
    case 'S': ApplyUnary([](Value a) { return std::asin(a); }); break;
    case 'C': ApplyUnary([](Value a) { return std::acos(a); }); break;
    case 'T': ApplyUnary([](Value a) { return std::atan(a); }); break;
    case 'l': ApplyUnary([](Value a) { return std::log(a); }); break;
    case 'L': ApplyUnary([](Value a) { return std::exp(a); }); break;
    case '!':
        ApplyUnary([](Value a) { return static_cast<Value>(Factorial(TruncateToInt32(a))); });
        break;
    case 'p': PushValue(kConstantP); break;
    case ']': Exchange(); break;
    case 'x': PopValue(); break;
    case '#': ShowTop(); break;
    case '@': PrintStack(); break;
    case ' ':
    case '\n': break;
    default: InvalidCharacter(c);
    }
}

// Where the token after the one at `i` starts: right after the first space or
// tab at or after `i`. Every byte on the way is skipped, as the scanning rule
// skips any byte that does not follow a space or tab. At the NUL if there is
// no further token.
std::size_t NextTokenStart(const unsigned char *bytes, std::size_t i)
{
    while (bytes[i] != '\0' && !IsSeparator(bytes[i])) {
        ++i;
    }
    return bytes[i] == '\0' ? i : i + 1;
}

}  // namespace

void EvaluateExpression(Value &result, const char *expression)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(expression);
    for (std::size_t i = 0; bytes[i] != '\0'; i = NextTokenStart(bytes, i)) {
        const unsigned char c = bytes[i];
        if (IsDigit(c) || (c == '-' && IsDigit(bytes[i + 1]))) {
            PushValue(ReadNumber(expression + i));
        } else {
            RunCommand(c);
        }
    }
    result = PeekValue();
    ResetStack();
}

std::int32_t Factorial(std::int32_t n)
{
    // Unsigned arithmetic wraps where signed would overflow; the low 32 bits
    // are the same. Once the product holds 32 factors of two it stays 0.
    std::uint32_t product = 1;
    for (std::int32_t k = 2; k <= n && product != 0; ++k) {
        product *= static_cast<std::uint32_t>(k);
    }
    return static_cast<std::int32_t>(product);
}

std::int32_t TruncateToInt32(Value value)
{
    constexpr Value kTwoTo31 = 2147483648.0;
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kTwoTo31) {
        return INT32_MAX;
    }
    if (value <= -kTwoTo31) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace kelvaro
