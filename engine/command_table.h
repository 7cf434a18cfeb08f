// The notation's commands: one row each, read by the evaluator to dispatch
// and, through the public API, by everything that describes the notation.
#ifndef KELVARO_ENGINE_COMMAND_TABLE_H
#define KELVARO_ENGINE_COMMAND_TABLE_H

#include "engine/value.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace kelvaro {

enum class CommandKind : std::uint8_t {
    kInvalid,   // no command: an invalid character at a token start
    kBinary,    // pop a, pop b, push binary(b, a)
    kUnary,     // pop a, push unary(a)
    kConstant,  // push constant
    kExchange,  // pop a, pop b, push a, push b
    kDrop,      // pop a
    kShowTop,   // '#': list the top
    kShowStack, // '@': list the stack
    kNothing,   // a separator at a token start
};

struct Command {
    char byte;
    CommandKind kind;
    const char *name;
    const char *meaning;  // a is the top of the stack, b the value below it
    const char *example;  // an expression that uses it; empty for separators
    Value (*binary)(Value b, Value a);
    Value (*unary)(Value a);
    Value constant;
};

// 2 * 3 * ... * n in 32-bit two's-complement arithmetic; 1 for n < 2.
std::int32_t Factorial(std::int32_t n);

// Truncates toward zero, saturating at the int32 bounds; NaN gives 0.
std::int32_t TruncateToInt32(Value value);

// The constant 'p' pushes: the double nearest to 3.1415, not pi.
constexpr Value kConstantP = 3.1415;

// clang-format off
inline constexpr Command kCommands[] = {
    {'+', CommandKind::kBinary, "add", "b + a", "5 3 +",
     [](Value b, Value a) { return b + a; }, nullptr, 0},
    {'-', CommandKind::kBinary, "subtract", "b - a ('-' right before a digit is a sign)", "5 3 -",
     [](Value b, Value a) { return b - a; }, nullptr, 0},
    {'*', CommandKind::kBinary, "multiply", "b * a", "3 4 *",
     [](Value b, Value a) { return b * a; }, nullptr, 0},
    {'/', CommandKind::kBinary, "divide", "b / a (no test for zero)", "6 3 /",
     [](Value b, Value a) { return b / a; }, nullptr, 0},
    {'%', CommandKind::kBinary, "remainder", "b - n*a, n = b/a truncated (sign of b)", "7 4 %",
     [](Value b, Value a) { return std::fmod(b, a); }, nullptr, 0},
    {'^', CommandKind::kBinary, "power", "b raised to a", "2 10 ^",
     [](Value b, Value a) { return std::pow(b, a); }, nullptr, 0},
    {'s', CommandKind::kUnary, "sine", "sin a (radians)", "0 s",
     nullptr, [](Value a) { return std::sin(a); }, 0},
    {'c', CommandKind::kUnary, "cosine", "cos a (radians)", "0 c",
     nullptr, [](Value a) { return std::cos(a); }, 0},
    {'t', CommandKind::kUnary, "tangent", "tan a (radians)", "1 t",
     nullptr, [](Value a) { return std::tan(a); }, 0},
    {'S', CommandKind::kUnary, "arcsine", "asin a (radians)", "1 S",
     nullptr, [](Value a) { return std::asin(a); }, 0},
    {'C', CommandKind::kUnary, "arccosine", "acos a (radians)", "1 C",
     nullptr, [](Value a) { return std::acos(a); }, 0},
    {'T', CommandKind::kUnary, "arctangent", "atan a (radians)", "1 T",
     nullptr, [](Value a) { return std::atan(a); }, 0},
    {'l', CommandKind::kUnary, "logarithm", "natural logarithm of a", "10 l",
     nullptr, [](Value a) { return std::log(a); }, 0},
    {'L', CommandKind::kUnary, "exponential", "e raised to a", "1 L",
     nullptr, [](Value a) { return std::exp(a); }, 0},
    {'!', CommandKind::kUnary, "factorial", "a! in 32-bit integers (a truncated)", "13 !",
     nullptr, [](Value a) { return static_cast<Value>(Factorial(TruncateToInt32(a))); }, 0},
    {'p', CommandKind::kConstant, "constant", "push 3.1415", "p 2 *",
     nullptr, nullptr, kConstantP},
    {']', CommandKind::kExchange, "exchange", "swap a and b", "1 2 ]",
     nullptr, nullptr, 0},
    {'x', CommandKind::kDrop, "drop", "discard a", "1 2 x",
     nullptr, nullptr, 0},
    {'#', CommandKind::kShowTop, "show top", "list a as \"Top of stack: a\"", "1 2 + #",
     nullptr, nullptr, 0},
    {'@', CommandKind::kShowStack, "show stack", "list every value, top first", "1 2 @",
     nullptr, nullptr, 0},
    {' ', CommandKind::kNothing, "space", "separates tokens", "",
     nullptr, nullptr, 0},
    {'\n', CommandKind::kNothing, "newline", "nothing (it does not separate tokens)", "",
     nullptr, nullptr, 0},
};
// clang-format on

constexpr std::size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];

}  // namespace kelvaro

#endif
