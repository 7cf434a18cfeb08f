// The commands carried out on a stack: shared by the evaluation of text and
// by compiled programs, so both do exactly the same arithmetic.
#ifndef KELVARO_ENGINE_MACHINE_H
#define KELVARO_ENGINE_MACHINE_H

#include <kelvaro/rpn.h>

#include "engine/always_inline.h"
#include "engine/command_table.h"
#include "engine/token_scan.h"
#include "engine/value_stack.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace kelvaro {

// What a byte at a token start does. The command table's operations keep
// their numbers; a digit and '-' (a sign before a digit, subtraction
// otherwise) get their own.
constexpr std::uint8_t TokenOf(Operation operation)
{
    return static_cast<std::uint8_t>(operation);
}
// Next to the operations' numbers, so that a switch over tokens is one table.
constexpr std::uint8_t kDigitToken = TokenOf(Operation::kNothing) + 1;
constexpr std::uint8_t kMinusToken = kDigitToken + 1;
static_assert(TokenOf(Operation::kNothing) < kDigitToken, "token numbers stay apart");

constexpr std::size_t kByteValues = 256;

constexpr std::array<std::uint8_t, kByteValues> MakeTokens()
{
    std::array<std::uint8_t, kByteValues> tokens{};
    for (auto &token : tokens) {
        token = TokenOf(Operation::kInvalid);
    }
    for (const Command &command : kCommands) {
        tokens[static_cast<unsigned char>(command.byte)] = TokenOf(command.operation);
    }
    for (unsigned char digit = '0'; digit <= '9'; ++digit) {
        tokens[digit] = kDigitToken;
    }
    tokens[static_cast<unsigned char>('-')] = kMinusToken;
    return tokens;
}
inline constexpr std::array<std::uint8_t, kByteValues> kTokens = MakeTokens();

// '#' and '@' to a listing (either callback may be null).
void ShowTop(const kelvaro_rpn_listing &listing, const Value &top);
void ShowStack(const kelvaro_rpn_listing &listing, const Value *values, std::size_t depth);

// Without a journal the calls compile to nothing.
struct NoJournal {
    void Dropped(const Value * /*values*/, std::size_t /*depth*/) {}
};

struct Journaling {
    StackJournal &journal;
    // The stack now holds `depth` values: keep the ones from there up to the
    // floor before a push can overwrite them.
    void Dropped(const Value *values, std::size_t depth)
    {
        while (journal.floor > depth) {
            --journal.floor;
            journal.saved[journal.floor] = values[journal.floor];
        }
    }
};

// The arithmetic of each command of one or two values (b below a), for
// every way of running it: on one stack, fused with a number, over a block.
namespace arithmetic {
inline constexpr auto kAdd = [](Value b, Value a) { return b + a; };
inline constexpr auto kSubtract = [](Value b, Value a) { return b - a; };
inline constexpr auto kMultiply = [](Value b, Value a) { return b * a; };
inline constexpr auto kDivide = [](Value b, Value a) { return b / a; };
inline constexpr auto kRemainder = [](Value b, Value a) { return std::fmod(b, a); };
inline constexpr auto kPower = [](Value b, Value a) { return std::pow(b, a); };
inline constexpr auto kSine = [](Value a) { return std::sin(a); };
inline constexpr auto kCosine = [](Value a) { return std::cos(a); };
inline constexpr auto kTangent = [](Value a) { return std::tan(a); };
inline constexpr auto kArcsine = [](Value a) { return std::asin(a); };
inline constexpr auto kArccosine = [](Value a) { return std::acos(a); };
inline constexpr auto kArctangent = [](Value a) { return std::atan(a); };
inline constexpr auto kLogarithm = [](Value a) { return std::log(a); };
inline constexpr auto kExponential = [](Value a) { return std::exp(a); };
inline constexpr auto kFactorial = [](Value a) {
    return static_cast<Value>(Factorial(TruncateToInt32(a)));
};
}  // namespace arithmetic

// The stack of one run, held in locals so that the compiler keeps them in
// registers. Checked, each command checks its bound once; unchecked, the
// caller has proved from the program's shape that no bound can be met.
template <typename Journal, bool kChecked = true>
struct Machine {
    Value *values;
    std::size_t depth;
    Journal journal;

    template <typename Function>
    KELVARO_ALWAYS_INLINE kelvaro_rpn_status Binary(Function function)
    {
        if (kChecked && depth < 2) {
            return KELVARO_RPN_STACK_UNDERFLOW;
        }
        --depth;
        journal.Dropped(values, depth - 1);
        // Unchecked, these values exist because the program's shape says so
        // (ProgramShape), which the static analyser cannot follow.
        // NOLINTNEXTLINE(clang-analyzer-core.CallAndMessage)
        values[depth - 1] = function(values[depth - 1], values[depth]);
        return KELVARO_RPN_OK;
    }

    template <typename Function>
    KELVARO_ALWAYS_INLINE kelvaro_rpn_status Unary(Function function)
    {
        if (kChecked && depth == 0) {
            return KELVARO_RPN_STACK_UNDERFLOW;
        }
        journal.Dropped(values, depth - 1);
        // NOLINTNEXTLINE(clang-analyzer-core.CallAndMessage): as in Binary
        values[depth - 1] = function(values[depth - 1]);
        return KELVARO_RPN_OK;
    }

    KELVARO_ALWAYS_INLINE kelvaro_rpn_status Push(Value value)
    {
        if (kChecked && depth == kStackCapacity) {
            return KELVARO_RPN_STACK_OVERFLOW;
        }
        values[depth++] = value;
        return KELVARO_RPN_OK;
    }

    // Carries out the command of `token`, any token but a number's (kMinusToken
    // is the subtraction here).
    KELVARO_ALWAYS_INLINE kelvaro_rpn_status Execute(std::uint8_t token,
                                                     const kelvaro_rpn_listing &listing)
    {
        switch (token) {
        case kMinusToken: return Binary(arithmetic::kSubtract);
        case TokenOf(Operation::kAdd): return Binary(arithmetic::kAdd);
        case TokenOf(Operation::kMultiply): return Binary(arithmetic::kMultiply);
        case TokenOf(Operation::kDivide): return Binary(arithmetic::kDivide);
        case TokenOf(Operation::kRemainder): return Binary(arithmetic::kRemainder);
        case TokenOf(Operation::kPower): return Binary(arithmetic::kPower);
        case TokenOf(Operation::kSine): return Unary(arithmetic::kSine);
        case TokenOf(Operation::kCosine): return Unary(arithmetic::kCosine);
        case TokenOf(Operation::kTangent): return Unary(arithmetic::kTangent);
        case TokenOf(Operation::kArcsine): return Unary(arithmetic::kArcsine);
        case TokenOf(Operation::kArccosine): return Unary(arithmetic::kArccosine);
        case TokenOf(Operation::kArctangent): return Unary(arithmetic::kArctangent);
        case TokenOf(Operation::kLogarithm): return Unary(arithmetic::kLogarithm);
        case TokenOf(Operation::kExponential): return Unary(arithmetic::kExponential);
        case TokenOf(Operation::kFactorial): return Unary(arithmetic::kFactorial);
        case TokenOf(Operation::kConstant): return Push(kConstantP);
        case TokenOf(Operation::kExchange): {
            if (kChecked && depth < 2) {
                return KELVARO_RPN_STACK_UNDERFLOW;
            }
            journal.Dropped(values, depth - 2);
            // NOLINTBEGIN(clang-analyzer-core.uninitialized.Assign): as in Binary
            const Value a = values[depth - 1];
            values[depth - 1] = values[depth - 2];
            values[depth - 2] = a;
            // NOLINTEND(clang-analyzer-core.uninitialized.Assign)
            return KELVARO_RPN_OK;
        }
        case TokenOf(Operation::kDrop):
            if (kChecked && depth == 0) {
                return KELVARO_RPN_STACK_UNDERFLOW;
            }
            --depth;
            journal.Dropped(values, depth);
            return KELVARO_RPN_OK;
        case TokenOf(Operation::kShowTop):
            if (kChecked && depth == 0) {
                return KELVARO_RPN_STACK_UNDERFLOW;
            }
            ShowTop(listing, values[depth - 1]);
            return KELVARO_RPN_OK;
        case TokenOf(Operation::kShowStack):
            ShowStack(listing, values, depth);
            return KELVARO_RPN_OK;
        case TokenOf(Operation::kNothing): return KELVARO_RPN_OK;
        default:  // Operation::kInvalid; '-' (kSubtract) is kMinusToken above
            return KELVARO_RPN_INVALID_CHARACTER;
        }
    }
};

// How many values a token pops at most before it pushes, and how the depth
// changes: the shape a compiled program is checked against before it runs.
struct StackEffect {
    int pops;
    int change;
};

constexpr StackEffect EffectOf(std::uint8_t token)
{
    switch (token) {
    case kDigitToken:
    case TokenOf(Operation::kConstant): return {0, 1};
    case kMinusToken:
    case TokenOf(Operation::kAdd):
    case TokenOf(Operation::kMultiply):
    case TokenOf(Operation::kDivide):
    case TokenOf(Operation::kRemainder):
    case TokenOf(Operation::kPower): return {2, -1};
    case TokenOf(Operation::kExchange): return {2, 0};
    case TokenOf(Operation::kDrop): return {1, -1};
    case TokenOf(Operation::kShowStack):
    case TokenOf(Operation::kNothing):
    case TokenOf(Operation::kInvalid): return {0, 0};
    default: return {1, 0};  // the functions of one value, '#'
    }
}

}  // namespace kelvaro

#endif
