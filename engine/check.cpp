#include "engine/check.h"

#include "engine/machine.h"

namespace kelvaro {

void TextChecker::Rest(const unsigned char *p, const unsigned char *end, std::size_t depth,
                       bool failed)
{
    if (complete) {
        return;
    }
    // `depth` is what the text would leave from an empty stack while it has
    // not failed.
    while (p < end) {
        if (StartsNumber(p, end)) {
            failed = failed || depth == kStackCapacity;
            ++depth;
            p = Tail(KELVARO_RPN_WARNING_NUMBER_TAIL, NumberEnd(p, end), end);
            continue;
        }
        if (*p == ' ') {
            ++p;
            continue;
        }
        const std::uint8_t token = kTokens[*p];
        const StackEffect effect = EffectOf(token);
        if (token == TokenOf(Operation::kInvalid) ||
            depth < static_cast<std::size_t>(effect.pops) ||
            (effect.change > 0 && depth == kStackCapacity)) {
            failed = true;
        } else {
            depth = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(depth) + effect.change);
        }
        p = Tail(KELVARO_RPN_WARNING_COMMAND_TAIL, p + 1, end);
    }
    if (!failed && depth > 1) {
        Add(KELVARO_RPN_WARNING_VALUES_LEFT, static_cast<std::size_t>(end - begin), depth - 1);
    }
}

std::size_t CheckText(const char *text, std::size_t length, kelvaro_rpn_warning *warnings,
                      std::size_t capacity)
{
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    TextChecker checker{begin, warnings, capacity};
    checker.Rest(begin, begin + length, 0, false);
    return checker.count;
}

}  // namespace kelvaro
