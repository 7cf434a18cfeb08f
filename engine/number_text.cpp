#include "number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kelvaro {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char *SkipDigits(const char *p)
{
    while (IsDigit(*p)) {
        ++p;
    }
    return p;
}

// The end of the number that starts at `text`: std::from_chars wants it, and
// the underflow/overflow decision below reads the same span.
const char *NumberEnd(const char *text)
{
    const char *p = text;
    if (*p == '-') {
        ++p;
    }
    p = SkipDigits(p);
    if (*p == '.') {
        p = SkipDigits(p + 1);
    }
    if (*p == 'e' || *p == 'E') {
        const char *exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') {
            ++exponent;
        }
        if (IsDigit(*exponent)) {
            p = SkipDigits(exponent);
        }
    }
    return p;
}

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
    const char *integerEnd = SkipDigits(p);
    for (const char *q = p; q < integerEnd; ++q) {
        if (*q != '0') {
            position = static_cast<long>(integerEnd - q) - 1;
            found = true;
            break;
        }
    }
    p = integerEnd;
    if (*p == '.') {
        ++p;
        for (const char *q = p; !found && IsDigit(*q); ++q) {
            if (*q != '0') {
                position = -static_cast<long>(q - p) - 1;
                found = true;
            }
        }
        p = SkipDigits(p);
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = *p == '-';
        if (*p == '+' || *p == '-') {
            ++p;
        }
        long exponent = 0;
        for (; p < end && exponent < 100000; ++p) {
            exponent = exponent * 10 + (*p - '0');
        }
        position += negative ? -exponent : exponent;
    }
    return found && position >= 0;
}

}  // namespace

Value ReadNumber(const char *text)
{
    const char *end = NumberEnd(text);
    Value value = 0;
    const auto parsed = std::from_chars(text, end, value);
    if (parsed.ec == std::errc::result_out_of_range) {
        const Value magnitude = MagnitudeAtLeastOne(text, end)
                                    ? std::numeric_limits<Value>::infinity()
                                    : 0.0;
        value = *text == '-' ? -magnitude : magnitude;
    }
    return value;
}

std::size_t FormatFixed(char *out, Value value)
{
    if (std::isnan(value)) {
        out[0] = 'n';
        out[1] = 'a';
        out[2] = 'n';
        return 3;
    }
    const auto written =
        std::to_chars(out, out + kMaxFixedText, value, std::chars_format::fixed, 6);
    return static_cast<std::size_t>(written.ptr - out);
}

}  // namespace kelvaro
