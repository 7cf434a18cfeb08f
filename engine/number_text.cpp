#include "number_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace kelvaro {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char *SkipDigits(const char *p, const char *end)
{
    while (p < end && IsDigit(*p)) {
        ++p;
    }
    return p;
}

// The end of the number that starts at `text` and lies before `end`:
// std::from_chars wants it, and the underflow/overflow decision below reads
// the same span.
const char *NumberEnd(const char *text, const char *end)
{
    const char *p = text;
    if (*p == '-') {
        ++p;
    }
    p = SkipDigits(p, end);
    if (p < end && *p == '.') {
        p = SkipDigits(p + 1, end);
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char *exponent = p + 1;
        if (exponent < end && (*exponent == '+' || *exponent == '-')) {
            ++exponent;
        }
        if (exponent < end && IsDigit(*exponent)) {
            p = SkipDigits(exponent, end);
        }
    }
    return p;
}

// Reading stops once an exponent reaches this: the number is then far outside
// a double's range whatever its digits, and the sum cannot overflow.
constexpr long kExponentCap = 100000;

// std::from_chars leaves its output alone when the value is out of range;
// strtod gives infinity for magnitudes of 1 and more and zero below. Decide
// which side of 1 the text lies on from its first significant digit and its
// exponent. Only called for texts that from_chars found out of range, so the
// answer is never near 1.
bool MagnitudeAtLeastOne(const char *begin, const char *end)
{
    const char *p = begin;
    if (*p == '-') {
        ++p;
    }
    long position = 0;  // power of ten of the first significant digit
    bool found = false;
    const char *integerEnd = SkipDigits(p, end);
    for (const char *q = p; q < integerEnd; ++q) {
        if (*q != '0') {
            position = static_cast<long>(integerEnd - q) - 1;
            found = true;
            break;
        }
    }
    p = integerEnd;
    if (p < end && *p == '.') {
        ++p;
        for (const char *q = p; !found && q < end && IsDigit(*q); ++q) {
            if (*q != '0') {
                position = -static_cast<long>(q - p) - 1;
                found = true;
            }
        }
        p = SkipDigits(p, end);
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = *p == '-';
        if (*p == '+' || *p == '-') {
            ++p;
        }
        long exponent = 0;
        for (; p < end && exponent < kExponentCap; ++p) {
            exponent = exponent * 10 + (*p - '0');
        }
        position += negative ? -exponent : exponent;
    }
    return found && position >= 0;
}

// Most numbers in expressions are short decimals such as "3" or "0.25". When
// all the digits fit a double exactly and so does the power of ten that the
// fraction divides by, one IEEE division gives the correctly rounded value,
// the same one strtod gives (Clinger's fast path). Needs arithmetic done in
// double precision, not in wider x87 registers.
bool ReadShortDecimal(const char *text, const char *end, Value &value)
{
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    constexpr int kMaxDigits = 19;  // 10^19 - 1 still fits 64 bits
    // Every power of ten up to 10^22 is a double exactly.
    static constexpr Value kPowersOfTen[kMaxDigits + 1] = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
        1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
    constexpr std::uint64_t kMaxExact = std::uint64_t{1} << 53;

    const char *p = text;
    const bool negative = *p == '-';
    if (negative) {
        ++p;
    }
    std::uint64_t digits = 0;
    int count = 0;
    int fractionDigits = 0;
    for (; p < end && IsDigit(*p); ++p, ++count) {
        if (count == kMaxDigits) {
            return false;
        }
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    if (p < end && *p == '.') {
        for (++p; p < end && IsDigit(*p); ++p, ++count, ++fractionDigits) {
            if (count == kMaxDigits) {
                return false;
            }
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        }
    }
    if ((p < end && (*p == 'e' || *p == 'E')) || digits > kMaxExact) {
        return false;
    }
    const Value magnitude = static_cast<Value>(digits) / kPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    return true;
#else
    (void)text;
    (void)end;
    (void)value;
    return false;
#endif
}

#if defined(__SIZEOF_INT128__)

// The literals below are the binary64 layout and decimal widths, each
// explained where it is used.
// NOLINTBEGIN(readability-magic-numbers)

// Writes the digits of `number`; returns the end.
char *WriteDigits(char *out, std::uint64_t number)
{
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0) {
        *out++ = reversed[--count];
    }
    return out;
}

// "%f" of a finite value below 2^64, computed exactly: the value is m * 2^e,
// so its six-decimal rounding is m * 10^6 / 2^-e rounded half to even, as
// printf rounds. Other values go to std::to_chars. Returns the length, or 0
// when the value is not one of these.
std::size_t FormatFixedExactly(char *out, Value value)
{
    __extension__ typedef unsigned __int128 Wide;
    constexpr std::uint64_t kMillion = 1000000;

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
        // fraction < 2^53, so the product stays below 2^73; from a shift of
        // 74 on it is below half a millionth and rounds to 0.
        if (shift < 74) {
            const Wide scaled = static_cast<Wide>(fraction) * kMillion;
            millionths = static_cast<std::uint64_t>(scaled >> shift);
            const Wide rest = scaled - (static_cast<Wide>(millionths) << shift);
            const Wide half = static_cast<Wide>(1) << (shift - 1);
            if (rest > half || (rest == half && (millionths & 1) != 0)) {
                ++millionths;
            }
            if (millionths == kMillion) {
                ++integer;
                millionths = 0;
            }
        }
    }

    char *p = out;
    if ((bits >> 63) != 0) {
        *p++ = '-';
    }
    p = WriteDigits(p, integer);
    *p++ = '.';
    for (std::uint64_t unit = kMillion / 10; unit != 0; unit /= 10) {
        *p++ = static_cast<char>('0' + millionths / unit % 10);
    }
    return static_cast<std::size_t>(p - out);
}

// NOLINTEND(readability-magic-numbers)

#else

// Without 128-bit integers every value goes to std::to_chars.
std::size_t FormatFixedExactly(char *, Value)
{
    return 0;
}

#endif

std::size_t WriteNan(char *out)
{
    out[0] = 'n';
    out[1] = 'a';
    out[2] = 'n';
    return 3;
}

}  // namespace

Value ReadNumber(const char *text, const char *end)
{
    Value value = 0;
    if (ReadShortDecimal(text, end, value)) {
        return value;
    }
    const char *numberEnd = NumberEnd(text, end);
    const auto parsed = std::from_chars(text, numberEnd, value);
    if (parsed.ec == std::errc::result_out_of_range) {
        const Value magnitude = MagnitudeAtLeastOne(text, numberEnd)
                                    ? std::numeric_limits<Value>::infinity()
                                    : 0.0;
        value = *text == '-' ? -magnitude : magnitude;
    }
    return value;
}

std::size_t FormatFixed(char *out, Value value)
{
    if (std::isnan(value)) {
        return WriteNan(out);
    }
    if (const std::size_t length = FormatFixedExactly(out, value); length != 0) {
        return length;
    }
    const auto written =
        std::to_chars(out, out + kMaxFixedText, value, std::chars_format::fixed, 6);
    return static_cast<std::size_t>(written.ptr - out);
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
    const auto written = std::to_chars(out, out + kMaxDecimalsText, value,
                                       std::chars_format::fixed, decimals);
    return static_cast<std::size_t>(written.ptr - out);
}

std::size_t FormatShortest(char *out, Value value)
{
    if (std::isnan(value)) {
        return WriteNan(out);
    }
    const auto written = std::to_chars(out, out + kMaxShortestText, value);
    return static_cast<std::size_t>(written.ptr - out);
}

}  // namespace kelvaro
