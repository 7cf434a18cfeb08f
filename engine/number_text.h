// Reading and writing numbers as text, independent of the host's locale. One
// code path on every target: fast_float reads, and {fmt} writes what the exact
// fixed-point shortcut below does not.
#ifndef KELVARO_ENGINE_NUMBER_TEXT_H
#define KELVARO_ENGINE_NUMBER_TEXT_H

#include <kelvaro/rpn.h>

#include "engine/value.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>

namespace kelvaro {

// "%f" of -DBL_MAX is 317 characters; this holds it with its NUL.
constexpr std::size_t kMaxFixedText = 320;

// Decimals FormatDecimals takes, and room for its longest text: '-', the
// 309 digits of DBL_MAX, the point and the decimals.
constexpr int kMaxDecimals = KELVARO_RPN_MAX_DECIMALS;
constexpr std::size_t kMaxDecimalsText = 416;

// Room for the shortest round-trip text of any double.
constexpr std::size_t kMaxShortestText = 32;

// The significant digits that can decide a double: the exact halfway point
// with the most has 768, and fast_float reads 769 before it only asks whether
// any later digit is not 0. A reader of longer numbers may keep this many
// and one nonzero digit for all the rest.
constexpr int kMaxSignificantDigits = 769;

// A written exponent beyond which every number of up to kMaxSignificantDigits
// digits, wherever its point, is 0 or infinite.
constexpr int kExponentCap = 100000;

// How far a reader of numbers longer than its buffer (engine/piecewise_run.h)
// counts a written exponent before the digits' own count is added to it: far
// beyond any count of digits a text can make up for, and far from
// overflowing 64 bits. The sum is then brought within kExponentCap.
constexpr std::int64_t kMaxLongExponent = 1000000000000000;

// Reads the longest prefix of the bytes from `text` to `end` of the form
//   [-]digits[.digits][(e|E)[+|-]digits]
// into `value`, correctly rounded whatever its length, as strtod reads it:
// too large gives +-infinity, too small the nearest representable value.
// `text` must start with a digit or '-' and a digit. Returns where the number
// ends; reads nothing at or beyond `end`.
inline const char *ReadNumber(const char *text, const char *end, Value &value);

// Where ReadNumber would end, without reading the value.
inline const char *NumberEnd(const char *text, const char *end);

// ReadNumber for any number, the ones its shortcut does not take included.
const char *ReadNumberExactly(const char *text, const char *end, Value &value);

// Writes `value` as "%f" would in the C locale, except that NaN is always
// "nan". Returns the length; `out` must hold kMaxFixedText bytes. No NUL.
std::size_t FormatFixed(char *out, Value value);

// As "%.*f" with `decimals` from 0 to kMaxDecimals; NaN is always "nan".
// `out` must hold kMaxDecimalsText bytes. No NUL.
std::size_t FormatDecimals(char *out, Value value, int decimals);

// The shortest text that reads back as the same double: fixed or
// scientific ("1e+22"), whichever is shorter, fixed on a tie; "inf", "-inf",
// "nan" (never "-nan"). `out` must hold kMaxShortestText bytes. No NUL.
std::size_t FormatShortest(char *out, Value value);

namespace number_text_detail {

inline bool IsDigit(char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

constexpr int kMaxDigits = 19;        // 10^19 - 1 still fits 64 bits
constexpr int kMaxExponent = 22;      // 10^22 is the largest exact power of ten
constexpr std::uint64_t kMaxExact = std::uint64_t{1} << 53;
inline constexpr Value kPowersOfTen[kMaxExponent + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace number_text_detail

// Inline, so that the evaluator reads most numbers without a call: "3",
// "0.25", "1e-3". When the digits fit a double exactly and so does the power
// of ten they are scaled by, one IEEE multiplication or division rounds
// correctly (Clinger's fast path); that needs double arithmetic carried out in
// double precision.
// One pass over the bytes, kept whole: the evaluator's hot path, where even
// the exponent in a step of its own costs instructions per number at -O2.
// The syntax once for both: without the value, the arithmetic is dead code.
namespace number_text_detail {

template <bool kWithValue>
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
inline const char *ScanNumber(const char *text, const char *end, Value &value)
{
    static_assert(FLT_EVAL_METHOD == 0,
                  "build for double arithmetic in double registers (x86: -mfpmath=sse)");
    const bool negative = *text == '-';
    const char *const digitsStart = text + (negative ? 1 : 0);
    const char *p = digitsStart;
    std::uint64_t digits = 0;
    while (p < end && IsDigit(*p)) {
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p;
    }
    std::ptrdiff_t count = p - digitsStart;
    std::ptrdiff_t fraction = 0;
    if (p < end && *p == '.') {
        const char *const fractionStart = ++p;
        while (p < end && IsDigit(*p)) {
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
            ++p;
        }
        fraction = p - fractionStart;
        count += fraction;
    }
    std::ptrdiff_t exponent = -fraction;
    bool exact = true;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char *q = p + 1;
        const bool negativeExponent = q < end && *q == '-';
        q += q < end && (*q == '-' || *q == '+') ? 1 : 0;
        if (q < end && IsDigit(*q)) {
            std::ptrdiff_t written = 0;
            for (; q < end && IsDigit(*q); ++q) {
                written = written < kExponentCap ? written * 10 + (*q - '0') : written;
            }
            exponent += negativeExponent ? -written : written;
            exact = exponent >= -kMaxExponent && exponent <= kMaxExponent;
            p = q;
        }
    }
    if constexpr (!kWithValue) {
        return p;
    }
    // Without an exponent, at most 19 digits keep the fraction within 10^22;
    // up to 15 digits are below 2^53 whatever they are.
    constexpr std::ptrdiff_t kSafeDigits = 15;
    if (!exact || (count > kSafeDigits && (count > kMaxDigits || digits > kMaxExact))) {
        return ReadNumberExactly(text, end, value);
    }
    // digits <= 2^53: the signed conversion is one instruction where the
    // unsigned one is a dozen.
    Value magnitude = static_cast<Value>(static_cast<std::int64_t>(digits));
    if (exponent < 0) {
        magnitude /= kPowersOfTen[-exponent];
    } else if (exponent > 0) {
        magnitude *= kPowersOfTen[exponent];
    }
    value = negative ? -magnitude : magnitude;
    return p;
}

}  // namespace number_text_detail

inline const char *ReadNumber(const char *text, const char *end, Value &value)
{
    return number_text_detail::ScanNumber<true>(text, end, value);
}

inline const char *NumberEnd(const char *text, const char *end)
{
    Value unused = 0;
    return number_text_detail::ScanNumber<false>(text, end, unused);
}

}  // namespace kelvaro

#endif
