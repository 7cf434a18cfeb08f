#include "api_text.h"

#include "require.h"

#include <cmath>
#include <cstring>

namespace kelvaro_fuzz {

std::string Fixed(double value)
{
    char buffer[KELVARO_RPN_FIXED_SIZE];
    const std::size_t length =
        kelvaro_rpn_format_fixed(value, kLegacyDecimals, buffer, sizeof buffer);
    Require(length < sizeof buffer && std::strlen(buffer) == length,
            "kelvaro_rpn_format_fixed: the text does not fit its documented size", {});
    return {buffer, length};
}

std::string Message(const kelvaro_rpn_outcome &outcome, std::string_view text)
{
    char buffer[KELVARO_RPN_MESSAGE_SIZE];
    const std::size_t length =
        kelvaro_rpn_format_message(&outcome, text.data(), text.size(), buffer, sizeof buffer);
    // The length, not strlen: an invalid NUL byte is quoted in the message.
    Require(length < sizeof buffer, "kelvaro_rpn_format_message: the text does not fit", text);
    return {buffer, length};
}

std::uint64_t BitsOf(double value)
{
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value, "double is a binary64");
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool SameValue(double a, double b)
{
    return BitsOf(a) == BitsOf(b) || (std::isnan(a) && std::isnan(b));
}

}  // namespace kelvaro_fuzz
