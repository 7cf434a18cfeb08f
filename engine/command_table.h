// The notation's commands: one row each, read by the evaluator to dispatch
// and, through the public API, by everything that describes the notation.
#ifndef KELVARO_ENGINE_COMMAND_TABLE_H
#define KELVARO_ENGINE_COMMAND_TABLE_H

#include "engine/value.h"

#include <cstddef>
#include <cstdint>

namespace kelvaro {

// What a command does; the evaluator carries each one out. A byte with no
// row is kInvalid there.
enum class Operation : std::uint8_t {
    kInvalid,     // no command: an invalid character at a token start
    kAdd,         // b + a
    kSubtract,    // b - a ('-' right before a digit starts a number instead)
    kMultiply,    // b * a
    kDivide,      // b / a
    kRemainder,   // fmod(b, a)
    kPower,       // pow(b, a)
    kSine,        // sin a, and so on for the functions of one value
    kCosine,
    kTangent,
    kArcsine,
    kArccosine,
    kArctangent,
    kLogarithm,
    kExponential,
    kFactorial,   // Factorial(TruncateToInt32(a))
    kConstant,    // push kConstantP
    kExchange,    // pop a, pop b, push a, push b
    kDrop,        // pop a
    kShowTop,     // '#': list the top
    kShowStack,   // '@': list the stack
    kNothing,     // a separator at a token start
};

struct Command {
    char byte;
    Operation operation;
    const char *name;
    const char *meaning;  // a is the top of the stack, b the value below it
    const char *example;  // an expression that uses it; empty for separators
};

// 2 * 3 * ... * n in 32-bit two's-complement arithmetic; 1 for n < 2.
std::int32_t Factorial(std::int32_t n);

// Truncates toward zero, saturating at the int32 bounds; NaN gives 0.
std::int32_t TruncateToInt32(Value value);

// The constant 'p' pushes: the double nearest to 3.1415, not pi.
constexpr Value kConstantP = 3.1415;

// clang-format off
inline constexpr Command kCommands[] = {
    {'+', Operation::kAdd, "add", "b + a", "5 3 +"},
    {'-', Operation::kSubtract, "subtract", "b - a ('-' right before a digit is a sign)", "5 3 -"},
    {'*', Operation::kMultiply, "multiply", "b * a", "3 4 *"},
    {'/', Operation::kDivide, "divide", "b / a (no test for zero)", "6 3 /"},
    {'%', Operation::kRemainder, "remainder", "b - n*a, n = b/a truncated (sign of b)", "7 4 %"},
    {'^', Operation::kPower, "power", "b raised to a", "2 10 ^"},
    {'s', Operation::kSine, "sine", "sin a (radians)", "0 s"},
    {'c', Operation::kCosine, "cosine", "cos a (radians)", "0 c"},
    {'t', Operation::kTangent, "tangent", "tan a (radians)", "1 t"},
    {'S', Operation::kArcsine, "arcsine", "asin a (radians)", "1 S"},
    {'C', Operation::kArccosine, "arccosine", "acos a (radians)", "1 C"},
    {'T', Operation::kArctangent, "arctangent", "atan a (radians)", "1 T"},
    {'l', Operation::kLogarithm, "logarithm", "natural logarithm of a", "10 l"},
    {'L', Operation::kExponential, "exponential", "e raised to a", "1 L"},
    {'!', Operation::kFactorial, "factorial", "a! in 32-bit integers (a truncated)", "13 !"},
    {'p', Operation::kConstant, "constant", "push 3.1415", "p 2 *"},
    {']', Operation::kExchange, "exchange", "swap a and b", "1 2 ]"},
    {'x', Operation::kDrop, "drop", "discard a", "1 2 x"},
    {'#', Operation::kShowTop, "show top", "list a as \"Top of stack: a\"", "1 2 + #"},
    {'@', Operation::kShowStack, "show stack", "list every value, top first", "1 2 @"},
    {' ', Operation::kNothing, "space", "separates tokens", ""},
    {'\n', Operation::kNothing, "newline", "nothing (it does not separate tokens)", ""},
};
// clang-format on

constexpr std::size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];

}  // namespace kelvaro

#endif
