// Reading and writing numbers as text, independent of the host's locale. One
// code path on every target: fast_float reads, and {fmt} writes what the exact
// fixed-point shortcut below does not.
#ifndef KELVARO_ENGINE_NUMBER_TEXT_H
#define KELVARO_ENGINE_NUMBER_TEXT_H

#include <kelvaro/rpn.h>

#include "engine/always_inline.h"
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

// Whether `c` is a decimal digit: -1, which a reader gives past the end, and
// bytes from 0x80 on, signed or not, are not.
constexpr bool IsDigit(int c)
{
    return static_cast<unsigned>(c - '0') < 10;
}

// The one place the notation's number is spelt out:
//   [-]digits[.digits][(e|E)[+|-]digits]
// Reads the longest prefix of that form from `bytes`, which must start with a
// digit or '-' and a digit, and tells `number` each part as it goes. An 'e'
// not followed by digits (after its sign, if any) is not the number's.
//   bytes.Peek(n): the byte n after the next unread one (0 to 255), or -1
//     past the end; bytes.Skip(n): n bytes are read.
//   number: Negative(), IntegerDigit(d), FractionDigit(d), and
//     ExponentSign(neg) once before ExponentDigit(d); each d is 0 to 9.
template <typename Bytes, typename Number>
KELVARO_ALWAYS_INLINE void ScanNumberSyntax(Bytes &bytes, Number &number)
{
    // Each byte is asked for once: a streaming reader's Peek is not free.
    int c = bytes.Peek(0);
    if (c == '-') {
        number.Negative();
        bytes.Skip(1);
        c = bytes.Peek(0);
    }
    do {  // the first digit is the caller's promise
        number.IntegerDigit(c - '0');
        bytes.Skip(1);
        c = bytes.Peek(0);
    } while (IsDigit(c));
    if (c == '.') {
        bytes.Skip(1);
        for (c = bytes.Peek(0); IsDigit(c); c = bytes.Peek(0)) {
            number.FractionDigit(c - '0');
            bytes.Skip(1);
        }
    }
    if (c != 'e' && c != 'E') {
        return;
    }
    const int sign = bytes.Peek(1);
    const std::size_t signLength = sign == '-' || sign == '+' ? 1 : 0;
    if (!IsDigit(bytes.Peek(1 + signLength))) {
        return;
    }
    number.ExponentSign(sign == '-');
    bytes.Skip(1 + signLength);
    for (c = bytes.Peek(0); IsDigit(c); c = bytes.Peek(0)) {
        number.ExponentDigit(c - '0');
        bytes.Skip(1);
    }
}

namespace number_text_detail {

constexpr int kMaxDigits = 19;        // 10^19 - 1 still fits 64 bits
constexpr int kMaxExponent = 22;      // 10^22 is the largest exact power of ten
constexpr std::uint64_t kMaxExact = std::uint64_t{1} << 53;
inline constexpr Value kPowersOfTen[kMaxExponent + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The bytes from `at` to `end`, as ScanNumberSyntax reads them.
struct TextBytes {
    const char *at;
    const char *end;

    // `at < end` first: for the next byte, the one asked for nearly always,
    // the compiler then keeps a single pointer comparison and sees it is
    // the one the caller's scan has made already.
    int Peek(std::size_t ahead) const
    {
        return at < end && ahead < static_cast<std::size_t>(end - at)
                   ? static_cast<unsigned char>(at[ahead])
                   : -1;
    }
    void Skip(std::size_t count) { at += count; }
};

// What the shortcut needs of a number: its digits as one integer while they
// fit, how many there are, and the power of ten they are scaled by. Past 19
// digits the integer wraps, and the count sends the number the long way.
struct ShortNumber {
    bool negative = false;
    std::uint64_t digits = 0;
    std::ptrdiff_t count = 0;
    std::ptrdiff_t fraction = 0;
    bool negativeExponent = false;
    // Kept within reach of kExponentCap: any more is as far out of the
    // shortcut's range.
    std::ptrdiff_t written = 0;

    void Negative() { negative = true; }
    void IntegerDigit(int digit)
    {
        digits = digits * 10 + static_cast<std::uint64_t>(digit);
        ++count;
    }
    void FractionDigit(int digit)
    {
        IntegerDigit(digit);
        ++fraction;
    }
    void ExponentSign(bool isNegative) { negativeExponent = isNegative; }
    void ExponentDigit(int digit)
    {
        written = written < kExponentCap ? written * 10 + digit : written;
    }
};

// Only where the number ends is wanted.
struct SkippedNumber {
    static void Negative() {}
    static void IntegerDigit(int /*digit*/) {}
    static void FractionDigit(int /*digit*/) {}
    static void ExponentSign(bool /*isNegative*/) {}
    static void ExponentDigit(int /*digit*/) {}
};

}  // namespace number_text_detail

// Inline, so that the evaluator reads most numbers without a call: "3",
// "0.25", "1e-3". When the digits fit a double exactly and so does the power
// of ten they are scaled by, one IEEE multiplication or division rounds
// correctly (Clinger's fast path); that needs double arithmetic carried out in
// double precision.
inline const char *ReadNumber(const char *text, const char *end, Value &value)
{
    using number_text_detail::kMaxDigits;
    using number_text_detail::kMaxExact;
    using number_text_detail::kMaxExponent;
    using number_text_detail::kPowersOfTen;
    static_assert(FLT_EVAL_METHOD == 0,
                  "build for double arithmetic in double registers (x86: -mfpmath=sse)");
    number_text_detail::TextBytes bytes{text, end};
    number_text_detail::ShortNumber number;
    ScanNumberSyntax(bytes, number);
    const std::ptrdiff_t count = number.count;
    const std::ptrdiff_t exponent =
        (number.negativeExponent ? -number.written : number.written) - number.fraction;
    // Without an exponent, at most 19 digits keep the fraction within 10^22;
    // up to 15 digits are below 2^53 whatever they are.
    constexpr std::ptrdiff_t kSafeDigits = 15;
    if (exponent < -kMaxExponent || exponent > kMaxExponent ||
        (count > kSafeDigits && (count > kMaxDigits || number.digits > kMaxExact))) {
        return ReadNumberExactly(text, end, value);
    }
    // digits <= 2^53: the signed conversion is one instruction where the
    // unsigned one is a dozen.
    Value magnitude = static_cast<Value>(static_cast<std::int64_t>(number.digits));
    if (exponent < 0) {
        magnitude /= kPowersOfTen[-exponent];
    } else if (exponent > 0) {
        magnitude *= kPowersOfTen[exponent];
    }
    value = number.negative ? -magnitude : magnitude;
    return bytes.at;
}

inline const char *NumberEnd(const char *text, const char *end)
{
    number_text_detail::TextBytes bytes{text, end};
    number_text_detail::SkippedNumber number;
    ScanNumberSyntax(bytes, number);
    return bytes.at;
}

}  // namespace kelvaro

#endif
