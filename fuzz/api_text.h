// The public API's own texts for values and failures, as std::string.
#ifndef KELVARO_FUZZ_API_TEXT_H
#define KELVARO_FUZZ_API_TEXT_H

#include <kelvaro/rpn.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvaro_fuzz {

// The decimals of every value the legacy output shows.
constexpr int kLegacyDecimals = 6;

// kelvaro_rpn_format_fixed(value, kLegacyDecimals): "%f" of the value.
std::string Fixed(double value);

// kelvaro_rpn_format_message for `outcome` of `text`, '\n' included.
std::string Message(const kelvaro_rpn_outcome &outcome, std::string_view text);

// NaN results must agree too, payload and sign included: values are compared
// bit for bit.
std::uint64_t BitsOf(double value);
// The same double from two ways of running a text: the same bits, or both
// NaN (which operand's NaN + and * carry is the compiler's operand order).
bool SameValue(double a, double b);

}  // namespace kelvaro_fuzz

#endif
