#include "engine/check.h"

#include "engine/machine.h"

namespace kelvaro {
namespace {

struct Warnings {
    kelvaro_rpn_warning *out;
    std::size_t capacity;
    std::size_t count;

    void Add(kelvaro_rpn_warning_kind kind, std::size_t offset, std::size_t length)
    {
        if (count < capacity) {
            out[count] = kelvaro_rpn_warning{kind, offset, length};
        }
        ++count;
    }
};

// Where the number at `p` ends, as ReadNumber reads it, without computing
// its value: [-]digits[.digits][(e|E)[+|-]digits].
const unsigned char *NumberEnd(const unsigned char *p, const unsigned char *end)
{
    p += *p == '-' ? 1 : 0;
    while (p < end && IsDigit(*p)) {
        ++p;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && IsDigit(*p)) {
            ++p;
        }
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        const unsigned char *q = p + 1;
        q += q < end && (*q == '-' || *q == '+') ? 1 : 0;
        if (q < end && IsDigit(*q)) {
            while (q < end && IsDigit(*q)) {
                ++q;
            }
            p = q;
        }
    }
    return p;
}

// Where the token whose bytes go on at `p` ends: at the first space or tab.
const unsigned char *TokenEnd(const unsigned char *p, const unsigned char *end)
{
    while (p < end && !IsSeparator(*p)) {
        ++p;
    }
    return p;
}

}  // namespace

std::size_t CheckText(const char *text, std::size_t length, kelvaro_rpn_warning *warnings,
                      std::size_t capacity)
{
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    const auto *const end = begin + length;
    Warnings found{warnings, capacity, 0};
    // The depth the text would leave from an empty stack, while it has not
    // failed.
    std::size_t depth = 0;
    bool failed = false;
    const auto tail = [&](kelvaro_rpn_warning_kind kind, const unsigned char *from) {
        const unsigned char *const tokenEnd = TokenEnd(from, end);
        if (tokenEnd > from) {
            found.Add(kind, static_cast<std::size_t>(from - begin),
                      static_cast<std::size_t>(tokenEnd - from));
        }
        return tokenEnd < end ? tokenEnd + 1 : end;
    };
    const unsigned char *p = begin;
    while (p < end) {
        if (StartsNumber(p, end)) {
            const unsigned char *const numberEnd = NumberEnd(p, end);
            failed = failed || depth == kStackCapacity;
            ++depth;
            p = tail(KELVARO_RPN_WARNING_NUMBER_TAIL, numberEnd);
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
        p = tail(KELVARO_RPN_WARNING_COMMAND_TAIL, p + 1);
    }
    if (!failed && depth > 1) {
        found.Add(KELVARO_RPN_WARNING_VALUES_LEFT, length, depth - 1);
    }
    return found.count;
}

}  // namespace kelvaro
