#include "engine/program.h"

#include "engine/machine.h"
#include "engine/number_text.h"

namespace kelvaro {
namespace {

const kelvaro_rpn_listing kNoListing{nullptr, nullptr, nullptr};

static_assert(kMinusToken < kAddNumber, "step tokens stay apart");

// The fused token for a number followed by `token`, or 0 where there is none.
std::uint8_t FusedWithNumber(std::uint8_t token)
{
    switch (token) {
    case TokenOf(Operation::kAdd): return kAddNumber;
    case kMinusToken: return kSubtractNumber;
    case TokenOf(Operation::kMultiply): return kMultiplyNumber;
    case TokenOf(Operation::kDivide): return kDivideNumber;
    case TokenOf(Operation::kRemainder): return kRemainderNumber;
    case TokenOf(Operation::kPower): return kPowerNumber;
    default: return 0;
    }
}

// A fused step: the number's push, then its command, with the bounds each
// would meet in that order.
template <bool kChecked, typename Function>
KELVARO_ALWAYS_INLINE kelvaro_rpn_status WithNumber(Machine<NoJournal, kChecked> &machine,
                                                    const Step &step, std::size_t &offset,
                                                    Function function)
{
    if (kChecked && machine.depth == kStackCapacity) {
        offset = step.offset;  // the number's push
        return KELVARO_RPN_STACK_OVERFLOW;
    }
    if (kChecked && machine.depth == 0) {
        offset = step.commandOffset;  // the command finds one value
        return KELVARO_RPN_STACK_UNDERFLOW;
    }
    Value &top = machine.values[machine.depth - 1];
    // NOLINTNEXTLINE(clang-analyzer-core.CallAndMessage): the shape's guarantee, as in Binary
    top = function(top, step.number);
    return KELVARO_RPN_OK;
}

// One step on the machine; the failure, if any, and where.
template <bool kChecked>
KELVARO_ALWAYS_INLINE kelvaro_rpn_status RunStep(Machine<NoJournal, kChecked> &machine,
                                                 const Step &step,
                                                 const kelvaro_rpn_listing &listing,
                                                 std::size_t &offset)
{
    switch (step.token) {
    case kDigitToken:
        offset = step.offset;
        return machine.Push(step.number);
    case kAddNumber:
        return WithNumber(machine, step, offset, arithmetic::kAdd);
    case kSubtractNumber:
        return WithNumber(machine, step, offset, arithmetic::kSubtract);
    case kMultiplyNumber:
        return WithNumber(machine, step, offset, arithmetic::kMultiply);
    case kDivideNumber:
        return WithNumber(machine, step, offset, arithmetic::kDivide);
    case kRemainderNumber:
        return WithNumber(machine, step, offset, arithmetic::kRemainder);
    case kPowerNumber:
        return WithNumber(machine, step, offset, arithmetic::kPower);
    // A case per command with its token as a constant: the machine's own
    // switch folds away and each step costs one dispatch, not two.
#define KELVARO_COMMAND(token) \
    case token: offset = step.offset; return machine.Execute(token, listing);
        KELVARO_COMMAND(kMinusToken)
        KELVARO_COMMAND(TokenOf(Operation::kAdd))
        KELVARO_COMMAND(TokenOf(Operation::kMultiply))
        KELVARO_COMMAND(TokenOf(Operation::kDivide))
        KELVARO_COMMAND(TokenOf(Operation::kRemainder))
        KELVARO_COMMAND(TokenOf(Operation::kPower))
        KELVARO_COMMAND(TokenOf(Operation::kSine))
        KELVARO_COMMAND(TokenOf(Operation::kCosine))
        KELVARO_COMMAND(TokenOf(Operation::kTangent))
        KELVARO_COMMAND(TokenOf(Operation::kArcsine))
        KELVARO_COMMAND(TokenOf(Operation::kArccosine))
        KELVARO_COMMAND(TokenOf(Operation::kArctangent))
        KELVARO_COMMAND(TokenOf(Operation::kLogarithm))
        KELVARO_COMMAND(TokenOf(Operation::kExponential))
        KELVARO_COMMAND(TokenOf(Operation::kFactorial))
        KELVARO_COMMAND(TokenOf(Operation::kConstant))
        KELVARO_COMMAND(TokenOf(Operation::kExchange))
        KELVARO_COMMAND(TokenOf(Operation::kDrop))
        KELVARO_COMMAND(TokenOf(Operation::kShowTop))
        KELVARO_COMMAND(TokenOf(Operation::kShowStack))
#undef KELVARO_COMMAND
    default: offset = step.offset; return machine.Execute(step.token, listing);
    }
}

}  // namespace

namespace {

// The steps written so far, or only counted where there is no room.
struct StepWriter {
    Step *steps;
    std::size_t capacity;
    std::size_t count;
    bool lastIsNumber;  // steps[count - 1] is a number not yet fused

    void Number(Value number, std::size_t offset)
    {
        if (count < capacity) {
            steps[count] = Step{number, offset, offset, kDigitToken};
        }
        ++count;
        lastIsNumber = true;
    }

    // A command; after a number, a two-value command joins its step.
    void Command(std::uint8_t token, std::size_t offset)
    {
        const std::uint8_t fused = lastIsNumber ? FusedWithNumber(token) : 0;
        lastIsNumber = false;
        if (fused != 0) {
            if (count <= capacity) {
                steps[count - 1].token = fused;
                steps[count - 1].commandOffset = offset;
            }
            return;
        }
        if (count < capacity) {
            steps[count] = Step{0, offset, offset, token};
        }
        ++count;
    }
};

}  // namespace

std::size_t CompileSteps(const char *text, std::size_t length, Step *steps, std::size_t capacity,
                         kelvaro_rpn_outcome &outcome)
{
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    const auto *const end = begin + length;
    StepWriter writer{steps, capacity, 0, false};
    outcome = kelvaro_rpn_outcome{KELVARO_RPN_OK, 0, length};
    const unsigned char *p = begin;
    while (p < end) {
        const auto offset = static_cast<std::size_t>(p - begin);
        if (StartsNumber(p, end)) {
            Value number = 0;
            p = ScanNumber(p, end, number);
            writer.Number(number, offset);
            p = NextTokenStart(p, end);
            continue;
        }
        if (*p == ' ') {
            ++p;
            continue;
        }
        const std::uint8_t token = kTokens[*p];
        if (token == TokenOf(Operation::kInvalid)) {
            outcome = kelvaro_rpn_outcome{KELVARO_RPN_INVALID_CHARACTER, 0, offset};
            return 0;
        }
        if (token != TokenOf(Operation::kNothing)) {
            writer.Command(token, offset);
        }
        p = NextTokenStart(p + 1, end);
    }
    return writer.count;
}

ProgramShape ShapeOf(const Step *steps, std::size_t count)
{
    std::ptrdiff_t depth = 0;  // relative to the start
    std::ptrdiff_t lowest = 0;
    std::ptrdiff_t highest = 0;
    const auto apply = [&](std::uint8_t token) {
        const StackEffect effect = EffectOf(token);
        lowest = depth - effect.pops < lowest ? depth - effect.pops : lowest;
        depth += effect.change;
        highest = depth > highest ? depth : highest;
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (steps[i].token >= kAddNumber && steps[i].token <= kPowerNumber) {
            // The push of the number, then its command: the push counts
            // towards the highest depth.
            apply(kDigitToken);
            apply(TokenOf(Operation::kAdd));
        } else {
            apply(steps[i].token);
        }
    }
    return ProgramShape{static_cast<std::size_t>(-lowest), static_cast<std::size_t>(highest),
                        depth};
}

bool HasListings(const Step *steps, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (steps[i].token == TokenOf(Operation::kShowTop) ||
            steps[i].token == TokenOf(Operation::kShowStack)) {
            return true;
        }
    }
    return false;
}

kelvaro_rpn_outcome RunSteps(ValueStack &stack, const Step *steps, std::size_t count,
                             const kelvaro_rpn_listing *listingOrNull)
{
    const kelvaro_rpn_listing &listing = listingOrNull != nullptr ? *listingOrNull : kNoListing;
    Machine<NoJournal> machine{stack.values, stack.depth, NoJournal{}};
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t offset = 0;
        const kelvaro_rpn_status status = RunStep(machine, steps[i], listing, offset);
        if (status != KELVARO_RPN_OK) {
            stack.depth = machine.depth;
            return kelvaro_rpn_outcome{status, 0, offset};
        }
    }
    stack.depth = machine.depth;
    return kelvaro_rpn_outcome{KELVARO_RPN_OK, 0, 0};
}

}  // namespace kelvaro
