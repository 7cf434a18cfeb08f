// ReadNumber and FormatFixed take shortcuts for common numbers; whichever
// path a number takes, the bytes must be those of strtod and "%f".
#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// Reads a number from a NUL-terminated text, all of it in the span.
kelvaro::Value ReadWhole(const char *text)
{
    kelvaro::Value value = 0;
    kelvaro::ReadNumber(text, text + std::strlen(text), value);
    return value;
}

using kelvaro::FormatFixed;
using kelvaro::kMaxFixedText;

std::string Formatted(double value)
{
    char text[kMaxFixedText];
    return std::string(text, FormatFixed(text, value));
}

std::string Printed(double value)
{
    char text[kMaxFixedText + 1];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

std::uint64_t Bits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double FromBits(std::uint64_t bits)
{
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(FormatFixedPaths, EdgesMatchPrintf)
{
    const double values[] = {
        0.0, -0.0, 1.0, -1.0, 14.0, 0.5, 0.1, 0.7, 2.5, -33.727477,
        // exact ties at the sixth decimal round half to even
        1.0 / 128, 3.0 / 128, 5.0 / 128, -1.0 / 128, 1000000.0 + 1.0 / 128,
        // rounding carries into the integer part
        0.9999995, 0.99999949999999, 9.9999999, 99999.9999999, -0.9999999,
        // below half a millionth, negative zero on the way
        4.9e-7, 5.1e-7, -1e-9, 1e-300, -1e-300, DBL_MIN, -DBL_MIN, 4.9406564584124654e-324,
        // around the limits of the exact path
        9007199254740991.0, 9007199254740992.0, 9007199254740994.0, 4503599627370495.5,
        18446744073709549568.0, 18446744073709551616.0, -18446744073709551616.0,
        1e20, 4563715161568870662144.0, 1e300, DBL_MAX, -DBL_MAX,
        HUGE_VAL, -HUGE_VAL};
    for (const double value : values) {
        SCOPED_TRACE(Printed(value));
        EXPECT_EQ(Formatted(value), Printed(value));
    }
}

TEST(FormatFixedPaths, RandomValuesMatchPrintf)
{
    std::mt19937_64 random(20261208);
    // Mostly magnitudes where results usually lie, some from the whole range.
    std::uniform_int_distribution<int> usualExponent(1023 - 40, 1023 + 70);
    std::uniform_int_distribution<int> anyExponent(0, 2046);
    std::uniform_int_distribution<std::uint64_t> fraction(0, (std::uint64_t{1} << 52) - 1);
    for (int i = 0; i < 300000; ++i) {
        const int exponent = i % 8 == 0 ? anyExponent(random) : usualExponent(random);
        const std::uint64_t sign = static_cast<std::uint64_t>(i & 1) << 63;
        const double value =
            FromBits(sign | static_cast<std::uint64_t>(exponent) << 52 | fraction(random));
        ASSERT_EQ(Formatted(value), Printed(value)) << "bits " << std::hex << Bits(value);
    }
}

TEST(ReadNumberPaths, EdgesMatchStrtod)
{
    const char *texts[] = {
        "0", "-0", "3", "14", "0.5", "-2.5", "0.25", "1.5", "7.", "-7.", "0.1", "0.3",
        "2.5x", "12abc", "1.5.5", "3.14159265358979", "123456789.123456789",
        // digits at and beyond what a double holds exactly
        "9007199254740992", "9007199254740993", "-9007199254740993", "18446744073709551615",
        "1234567890123456789", "12345678901234567890", "0000000000000000000001",
        "0.0000000000000000000001", "0.00000000000000000000001", "1.0000000000000000000000001",
        // exponents take the general path
        "1e3", "1E3", "2.5e-3", "1e", "1e+", "7.e2", "1e999", "-1e999", "1e-999",
        "1.7976931348623157e308", "-1.7976931348623157e308", "4.9406564584124654e-324"};
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Bits(ReadWhole(text)), Bits(std::strtod(text, nullptr)));
    }
}

TEST(ReadNumberPaths, RandomDecimalsMatchStrtod)
{
    std::mt19937_64 random(8122026);
    std::uniform_int_distribution<int> digitCount(1, 21);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 300000; ++i) {
        std::string text = i % 3 == 0 ? "-" : "";
        const int integerDigits = digitCount(random);
        const int fractionDigits = digitCount(random) - 1;
        for (int d = 0; d < integerDigits; ++d) {
            text += static_cast<char>('0' + digit(random));
        }
        if (fractionDigits > 0 || i % 5 == 0) {
            text += '.';
        }
        for (int d = 0; d < fractionDigits; ++d) {
            text += static_cast<char>('0' + digit(random));
        }
        ASSERT_EQ(Bits(ReadWhole(text.c_str())), Bits(std::strtod(text.c_str(), nullptr)))
            << text;
    }
}

}  // namespace
