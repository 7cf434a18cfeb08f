#include "engine/program.h"

#include "engine/machine.h"
#include "engine/number_text.h"

namespace kelvaro {
namespace {

const kelvaro_rpn_listing kNoListing{nullptr, nullptr, nullptr};

}  // namespace

std::size_t CompileSteps(const char *text, std::size_t length, Step *steps, std::size_t capacity,
                         kelvaro_rpn_outcome &outcome)
{
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    const auto *const end = begin + length;
    std::size_t count = 0;
    outcome = kelvaro_rpn_outcome{KELVARO_RPN_OK, 0, length};
    const unsigned char *p = begin;
    while (p < end) {
        const auto offset = static_cast<std::size_t>(p - begin);
        if (StartsNumber(p, end)) {
            Value number = 0;
            const char *numberText = reinterpret_cast<const char *>(p);
            p = reinterpret_cast<const unsigned char *>(
                ReadNumber(numberText, reinterpret_cast<const char *>(end), number));
            if (count < capacity) {
                steps[count] = Step{number, offset, kDigitToken};
            }
            ++count;
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
            if (count < capacity) {
                steps[count] = Step{0, offset, token};
            }
            ++count;
        }
        p = NextTokenStart(p + 1, end);
    }
    return count;
}

ProgramShape ShapeOf(const Step *steps, std::size_t count)
{
    std::ptrdiff_t depth = 0;  // relative to the start
    std::ptrdiff_t lowest = 0;
    std::ptrdiff_t highest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const StackEffect effect = EffectOf(steps[i].token);
        lowest = depth - effect.pops < lowest ? depth - effect.pops : lowest;
        depth += effect.change;
        highest = depth > highest ? depth : highest;
    }
    return ProgramShape{static_cast<std::size_t>(-lowest), static_cast<std::size_t>(highest),
                        depth};
}

kelvaro_rpn_outcome RunSteps(ValueStack &stack, const Step *steps, std::size_t count,
                             const kelvaro_rpn_listing *listingOrNull)
{
    const kelvaro_rpn_listing &listing = listingOrNull != nullptr ? *listingOrNull : kNoListing;
    Machine<NoJournal> machine{stack.values, stack.depth, NoJournal{}};
    for (std::size_t i = 0; i < count; ++i) {
        const Step &step = steps[i];
        const kelvaro_rpn_status status = step.token == kDigitToken
                                              ? machine.Push(step.number)
                                              : machine.Execute(step.token, listing);
        if (status != KELVARO_RPN_OK) {
            stack.depth = machine.depth;
            return kelvaro_rpn_outcome{status, 0, step.offset};
        }
    }
    stack.depth = machine.depth;
    return kelvaro_rpn_outcome{KELVARO_RPN_OK, 0, 0};
}

std::size_t RunStepsUnchecked(Value (&values)[kStackCapacity], std::size_t depth,
                              const Step *steps, std::size_t count)
{
    Machine<NoJournal, false> machine{values, depth, NoJournal{}};
    for (std::size_t i = 0; i < count; ++i) {
        const Step &step = steps[i];
        if (step.token == kDigitToken) {
            machine.Push(step.number);
        } else {
            machine.Execute(step.token, kNoListing);
        }
    }
    return machine.depth;
}

}  // namespace kelvaro
