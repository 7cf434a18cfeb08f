#include "engine/number_text.h"

#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace kelvaro {
namespace {


// The literals below are the binary64 layout and decimal widths, each
// explained where it is used.
// NOLINTBEGIN(readability-magic-numbers)

// A 128-bit unsigned integer in two halves: enough for a 53-bit mantissa
// times 10^6, without relying on a compiler's __int128.
struct Wide {
    std::uint64_t high;
    std::uint64_t low;
};

Wide Multiply(std::uint64_t a, std::uint32_t b)
{
    const std::uint64_t lowPart = (a & 0xFFFFFFFFU) * b;
    const std::uint64_t highPart = (a >> 32) * b;
    const std::uint64_t low = lowPart + (highPart << 32);
    return Wide{(highPart >> 32) + (low < lowPart ? 1U : 0U), low};
}

// `value` shifted right by `shift` (1 to 73), and how the bits shifted out
// compare with half of 2^shift: -1 less, 0 equal, 1 more.
std::uint64_t ShiftRight(Wide value, int shift)
{
    if (shift >= 64) {
        return value.high >> (shift - 64);
    }
    return (value.low >> shift) | (value.high << (64 - shift));
}

int CompareRestToHalf(Wide value, int shift)
{
    Wide rest{0, value.low};
    Wide half{0, 0};
    if (shift > 64) {
        rest.high = value.high & ((std::uint64_t{1} << (shift - 64)) - 1);
        half.high = std::uint64_t{1} << (shift - 65);
    } else {
        rest.low = shift == 64 ? value.low : value.low & ((std::uint64_t{1} << shift) - 1);
        half.low = std::uint64_t{1} << (shift - 1);
    }
    if (rest.high != half.high) {
        return rest.high < half.high ? -1 : 1;
    }
    if (rest.low != half.low) {
        return rest.low < half.low ? -1 : 1;
    }
    return 0;
}

// Writes the digits of `number`, two at a time from the right; returns the
// end.
// The digits of 0 to 99, two to a number.
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char *WriteDigits(char *out, std::uint64_t number)
{
    int count = 1;
    for (std::uint64_t rest = number / 10; rest != 0; rest /= 10) {
        ++count;
    }
    char *p = out + count;
    while (number >= 100) {
        const auto pair = static_cast<std::size_t>(number % 100) * 2;
        number /= 100;
        *--p = kPairs[pair + 1];
        *--p = kPairs[pair];
    }
    if (number >= 10) {
        *--p = kPairs[number * 2 + 1];
        *--p = kPairs[number * 2];
    } else {
        *--p = static_cast<char>('0' + number);
    }
    return out + count;
}

constexpr std::uint32_t kMillion = 1000000;

// `truncated` rounded half to even, given how the bits cut off it compare
// with half: -1 less, 0 equal, 1 more.
std::uint64_t RoundHalfToEven(std::uint64_t truncated, int rest)
{
    return rest > 0 || (rest == 0 && (truncated & 1) != 0) ? truncated + 1 : truncated;
}

// The millionths of `fraction` / 2^shift (fraction below 2^shift, and below
// 2^53), rounded half to even as printf rounds: kMillion when they round up
// to the next whole number.
std::uint64_t RoundMillionths(std::uint64_t fraction, int shift)
{
    // The product stays below 2^64 up to a shift of 44 and below 2^73
    // beyond; from a shift of 74 on it is below half a millionth and rounds
    // to 0.
    if (fraction == 0 || shift >= 74) {
        return 0;
    }
    if (shift <= 44) {
        const std::uint64_t scaled = fraction * kMillion;
        const std::uint64_t bitsOut = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        return RoundHalfToEven(scaled >> shift, bitsOut < half ? -1 : bitsOut == half ? 0 : 1);
    }
    const Wide scaled = Multiply(fraction, kMillion);
    return RoundHalfToEven(ShiftRight(scaled, shift), CompareRestToHalf(scaled, shift));
}

// "%f" of a finite value below 2^64, computed exactly: the value is m * 2^e,
// so its six-decimal rounding is m * 10^6 / 2^-e rounded half to even, as
// printf rounds. Returns the length, or 0 for any other value.
std::size_t FormatFixedExactly(char *out, Value value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fractionBits = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0x7FF) {
        return 0;  // infinity or NaN
    }
    const std::uint64_t mantissa =
        biased == 0 ? fractionBits : fractionBits | (std::uint64_t{1} << 52);
    const int exponent = (biased == 0 ? 1 : biased) - 1075;

    std::uint64_t integer = 0;
    std::uint64_t millionths = 0;
    if (exponent >= 0) {
        if (exponent > 11) {
            return 0;  // 2^64 or more
        }
        integer = mantissa << exponent;
    } else {
        const int shift = -exponent;
        std::uint64_t fraction = mantissa;
        if (shift < 64) {
            integer = mantissa >> shift;
            fraction = mantissa & ((std::uint64_t{1} << shift) - 1);
        }
        millionths = RoundMillionths(fraction, shift);
        if (millionths == kMillion) {
            ++integer;
            millionths = 0;
        }
    }

    char *p = out;
    if ((bits >> 63) != 0) {
        *p++ = '-';
    }
    p = WriteDigits(p, integer);
    *p++ = '.';
    if (millionths == 0) {
        std::memset(p, '0', 6);  // whole numbers, the commonest results
    } else {
        // Pairs from the left without a division: millionths * ceil(2^32 /
        // 10^4) holds the first pair above bit 32 and the rest as a
        // fraction below it, which each * 100 moves up a pair at a time.
        // Exact for every value below 10^6 (the tests try them all).
        constexpr std::uint64_t kTenThousandth = 429497;
        constexpr std::uint64_t kFractionMask = 0xFFFFFFFFU;
        std::uint64_t scaled = millionths * kTenThousandth;
        for (int i = 0; i < 6; i += 2) {
            const auto pair = static_cast<std::size_t>(scaled >> 32) * 2;
            p[i] = kPairs[pair];
            p[i + 1] = kPairs[pair + 1];
            scaled = (scaled & kFractionMask) * 100;
        }
    }
    return static_cast<std::size_t>(p + 6 - out);
}

// The exact decimal digits of mantissa * 2^exponent (exponent >= 0), the
// whole part of every double of 2^53 and more: the number is built in limbs
// of nine decimal digits, doubled up to 28 times per pass. Returns the end.
char *WriteWholeNumber(char *out, std::uint64_t mantissa, int exponent)
{
    constexpr std::uint32_t kLimb = 1000000000;
    constexpr int kMaxShift = 28;  // a limb below 2^30 shifted stays below 2^58
    std::uint32_t limbs[36];       // DBL_MAX has 309 digits: 35 limbs
    int count = 0;
    do {
        limbs[count++] = static_cast<std::uint32_t>(mantissa % kLimb);
        mantissa /= kLimb;
    } while (mantissa != 0);
    while (exponent > 0) {
        const int shift = exponent < kMaxShift ? exponent : kMaxShift;
        exponent -= shift;
        std::uint64_t carry = 0;
        for (int i = 0; i < count; ++i) {
            const std::uint64_t limb = (static_cast<std::uint64_t>(limbs[i]) << shift) + carry;
            limbs[i] = static_cast<std::uint32_t>(limb % kLimb);
            carry = limb / kLimb;
        }
        while (carry != 0) {
            limbs[count++] = static_cast<std::uint32_t>(carry % kLimb);
            carry /= kLimb;
        }
    }
    out = WriteDigits(out, limbs[count - 1]);
    constexpr int kLimbDigits = 9;
    for (int i = count - 2; i >= 0; --i) {
        std::uint32_t limb = limbs[i];
        for (int k = kLimbDigits - 1; k >= 0; --k) {
            out[k] = static_cast<char>('0' + limb % 10);
            limb /= 10;
        }
        out += kLimbDigits;
    }
    return out;
}

// "%.*f" of a finite value of 2^64 or more, exactly: such a double is a whole
// number, so its decimals are all 0. Returns the length, or 0 for any other
// value.
std::size_t FormatWholeExactly(char *out, Value value, int decimals)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const int exponent = biased - 1075;
    if (biased == 0x7FF || exponent < 12) {
        return 0;  // infinity, NaN, or below 2^64
    }
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    char *p = out;
    if ((bits >> 63) != 0) {
        *p++ = '-';
    }
    p = WriteWholeNumber(p, mantissa, exponent);
    if (decimals > 0) {
        *p++ = '.';
        std::memset(p, '0', static_cast<std::size_t>(decimals));
        p += decimals;
    }
    return static_cast<std::size_t>(p - out);
}

// NOLINTEND(readability-magic-numbers)

std::size_t WriteNan(char *out)
{
    out[0] = 'n';
    out[1] = 'a';
    out[2] = 'n';
    return 3;
}

// "%.*f", exact for every double and every precision: large whole numbers
// here, the rest by {fmt} (whose exact path for them is slow).
std::size_t FormatWithPrecision(char *out, Value value, int decimals)
{
    if (const std::size_t length = FormatWholeExactly(out, value, decimals); length != 0) {
        return length;
    }
    const auto written =
        fmt::format_to_n(out, kMaxDecimalsText, FMT_STRING("{:.{}f}"), value, decimals);
    return written.size;
}

// The exponent {fmt} writes after the 'e' of its scientific form, up to the
// NUL after it: a sign and decimal digits ("+22", "-07").
int WrittenExponent(const char *p)
{
    const bool negative = *p == '-';
    p += *p == '-' || *p == '+' ? 1 : 0;
    int exponent = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        exponent = exponent * 10 + (*p - '0');
    }
    return negative ? -exponent : exponent;
}

// The length of the fixed-notation text of `count` digits d1.d2...dn times
// 10^exponent, and that text: "1000", "12.5", "0.001".
int FixedDigitsLength(int count, int exponent)
{
    if (exponent < 0) {
        return 1 - exponent + count;  // "0." and -exponent - 1 zeros
    }
    return exponent >= count - 1 ? exponent + 1 : count + 1;
}

char *WriteFixedDigits(char *p, const char *digits, int count, int exponent)
{
    const auto bytes = [](int n) { return static_cast<std::size_t>(n); };
    if (exponent < 0) {
        *p++ = '0';
        *p++ = '.';
        std::memset(p, '0', bytes(-exponent - 1));
        p += -exponent - 1;
        std::memcpy(p, digits, bytes(count));
        return p + count;
    }
    if (exponent >= count - 1) {
        std::memcpy(p, digits, bytes(count));
        p += count;
        std::memset(p, '0', bytes(exponent - count + 1));
        return p + exponent - count + 1;
    }
    std::memcpy(p, digits, bytes(exponent + 1));
    p += exponent + 1;
    *p++ = '.';
    std::memcpy(p, digits + exponent + 1, bytes(count - exponent - 1));
    return p + count - exponent - 1;
}

}  // namespace

const char *ReadNumberExactly(const char *text, const char *end, Value &value)
{
    // fast_float reads the same form, correctly rounded whatever its length,
    // and gives the infinity or zero that strtod gives out of range.
    return fast_float::from_chars(text, end, value).ptr;
}

std::size_t FormatFixed(char *out, Value value)
{
    if (std::isnan(value)) {
        return WriteNan(out);
    }
    if (const std::size_t length = FormatFixedExactly(out, value); length != 0) {
        return length;
    }
    constexpr int kFixedDecimals = 6;
    return FormatWithPrecision(out, value, kFixedDecimals);
}

std::size_t FormatDecimals(char *out, Value value, int decimals)
{
    constexpr int kFixedDecimals = 6;
    if (decimals == kFixedDecimals) {
        return FormatFixed(out, value);
    }
    if (std::isnan(value)) {
        return WriteNan(out);
    }
    return FormatWithPrecision(out, value, decimals);
}

std::size_t FormatShortest(char *out, Value value)
{
    if (std::isnan(value)) {
        return WriteNan(out);
    }
    if (std::isinf(value)) {
        return static_cast<std::size_t>(fmt::format_to_n(out, kMaxShortestText, "{}", value).size);
    }
    // {fmt}'s "{}" gives the shortest digits that read back, in fixed or
    // scientific form by its own rule; take the digits and the decimal
    // exponent from it and write the shorter form.
    char shortest[kMaxShortestText];
    const std::size_t shortestLength =
        fmt::format_to_n(shortest, sizeof shortest - 1, FMT_STRING("{}"), value).size;
    shortest[shortestLength] = '\0';
    const bool negative = shortest[0] == '-';
    // The digits without leading and trailing zeros, and the power of ten of
    // the first: intLength - 1 - (leading zeros) + the written exponent.
    char digits[kMaxShortestText];
    int count = 0;
    int intLength = 0;
    int leadingZeros = 0;
    bool seenPoint = false;
    const char *p = shortest + (negative ? 1 : 0);
    for (; *p != '\0' && *p != 'e'; ++p) {
        if (*p == '.') {
            seenPoint = true;
            continue;
        }
        intLength += seenPoint ? 0 : 1;
        if (count == 0 && *p == '0') {
            ++leadingZeros;
        } else {
            digits[count++] = *p;
        }
    }
    int exponent = intLength - 1 - leadingZeros + (*p == 'e' ? WrittenExponent(p + 1) : 0);
    while (count > 1 && digits[count - 1] == '0') {
        --count;
    }
    if (count == 0) {
        digits[count++] = '0';
        exponent = 0;
    }
    char scientific[kMaxShortestText];
    const std::size_t length =
        fmt::format_to_n(scientific, sizeof scientific, FMT_STRING("{}{}{}{}e{}{:02}"),
                         negative ? "-" : "", digits[0], count > 1 ? "." : "",
                         fmt::string_view(digits + 1, static_cast<std::size_t>(count - 1)),
                         exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent)
            .size;
    const std::size_t fixedLength =
        (negative ? 1U : 0U) + static_cast<std::size_t>(FixedDigitsLength(count, exponent));
    if (fixedLength > length) {
        std::memcpy(out, scientific, length);
        return length;
    }
    if (exponent >= count - 1) {
        // A whole number: of the texts this long, its exact digits are the
        // closest, as std::to_chars writes them ("5177290220909534208").
        return FormatWithPrecision(out, value, 0);
    }
    char *q = out;
    if (negative) {
        *q++ = '-';
    }
    return static_cast<std::size_t>(WriteFixedDigits(q, digits, count, exponent) - out);
}

}  // namespace kelvaro
