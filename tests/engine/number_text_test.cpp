#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
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

using kelvaro::Value;

std::string Fixed(Value value)
{
    char text[kelvaro::kMaxFixedText];
    return std::string(text, kelvaro::FormatFixed(text, value));
}

// The C library's "%f", which the formatting must match (this test process
// stays in the "C" locale).
std::string Printf(Value value)
{
    char text[kelvaro::kMaxFixedText];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

Value RandomFinite(std::mt19937_64 &random)
{
    for (;;) {
        const std::uint64_t bits = random();
        Value value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            return value;
        }
    }
}

TEST(FormatFixedTest, MatchesPrintfOnRandomBitPatterns)
{
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 20000; ++i) {
        const Value value = RandomFinite(random);
        ASSERT_EQ(Fixed(value), Printf(value)) << value;
    }
}

TEST(FormatFixedTest, MatchesPrintfNearRoundingBoundaries)
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> digits(0, 99999999);
    for (int i = 0; i < 20000; ++i) {
        // Values with a seventh decimal of 5 test the round-half rule.
        const Value value = (digits(random) * 10 + 5) / 1e7 * (i % 2 == 0 ? 1 : -1);
        ASSERT_EQ(Fixed(value), Printf(value)) << value;
    }
}

// Every six decimals there are, each after a whole part as results have
// them; the decimals are written a pair at a time without a division.
TEST(FormatFixedTest, MatchesPrintfOnEveryMillionth)
{
    for (int millionths = 0; millionths < 1000000; ++millionths) {
        const Value magnitude = (millionths % 2 == 0 ? 2 : 34) + millionths / 1e6;
        const Value value = millionths % 7 == 0 ? -magnitude : magnitude;
        ASSERT_EQ(Fixed(value), Printf(value)) << millionths;
    }
}

TEST(FormatFixedTest, WritesSpecialValuesWithoutSign)
{
    const Value nan = std::numeric_limits<Value>::quiet_NaN();
    EXPECT_EQ(Fixed(nan), "nan");
    EXPECT_EQ(Fixed(-nan), "nan");
    EXPECT_EQ(Fixed(std::copysign(nan, -1.0)), "nan");
    EXPECT_EQ(Fixed(HUGE_VAL), "inf");
    EXPECT_EQ(Fixed(-HUGE_VAL), "-inf");
    EXPECT_EQ(Fixed(-0.0), "-0.000000");
}

TEST(FormatFixedTest, WritesTheLongestValueInFull)
{
    const std::string text = Fixed(-std::numeric_limits<Value>::max());
    EXPECT_EQ(text.size(), 317u);
    EXPECT_EQ(text, Printf(-std::numeric_limits<Value>::max()));
    EXPECT_LT(text.size(), kelvaro::kMaxFixedText);
}

// The C library's strtod, which the reading must match.
Value Strtod(const std::string &text)
{
    return std::strtod(text.c_str(), nullptr);
}

std::string RandomNumberText(std::mt19937_64 &random)
{
    std::uniform_int_distribution<int> small(0, 9);
    std::string text;
    if (small(random) < 3) {
        text += '-';
    }
    const int integerDigits = 1 + small(random) * small(random) / 3;
    for (int i = 0; i < integerDigits; ++i) {
        text += static_cast<char>('0' + small(random));
    }
    if (small(random) < 6) {
        text += '.';
        const int fractionDigits = small(random) * small(random) / 2;
        for (int i = 0; i < fractionDigits; ++i) {
            text += static_cast<char>('0' + small(random));
        }
    }
    if (small(random) < 5) {
        text += small(random) < 5 ? 'e' : 'E';
        const int sign = small(random);
        text += sign < 3 ? "-" : sign < 6 ? "+" : "";
        std::uniform_int_distribution<int> exponent(0, 420);
        text += std::to_string(exponent(random));
    }
    // What follows a number is not part of it.
    const char *const tails[] = {"", " 1", "x", "e", "e+", ".5", "-3", "0x1"};
    text += tails[small(random) % 8];
    return text;
}

TEST(ReadNumberTest, MatchesStrtodOnRandomText)
{
    std::mt19937_64 random(42);
    for (int i = 0; i < 50000; ++i) {
        const std::string text = RandomNumberText(random);
        const Value expected = Strtod(text);
        const Value actual = ReadWhole(text.c_str());
        ASSERT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0)
            << text << " read as " << actual << ", strtod gives " << expected;
    }
}

struct ReadCase {
    const char *text;
    Value value;
};

TEST(ReadNumberTest, ReadsTheDecimalFormOnly)
{
    const ReadCase cases[] = {
        {"0x10", 0},       {"0X1p3", 0},          {"1d5", 1},
        {"1e5", 1e5},      {"1E-5", 1e-5},        {"7.", 7},
        {"-7.e1", -70},    {"3.25e", 3.25},       {"3.25e-", 3.25},
        {"1e308", 1e308},  {"1.8e308", HUGE_VAL}, {"-1.8e308", -HUGE_VAL},
        {"4.9406564584124654e-324", std::numeric_limits<Value>::denorm_min()},
        {"2.4703282292062328e-324", std::numeric_limits<Value>::denorm_min()},
        {"2.4703282292062327e-324", 0},
        {"0.000000000000000000000000000000000000001e-290", 0},
        {"100000000000000000000000000000000000000e300", HUGE_VAL},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ReadWhole(c.text), c.value) << c.text;
    }
}

// Numbers of any length are read correctly rounded: every digit counts
// towards the rounding, and a huge digit count can meet a huge exponent. The
// expected doubles are written out, since not every C library's strtod
// rounds such texts correctly (msvcrt's does not).
TEST(ReadNumberTest, ReadsNumbersOfAnyLengthExactly)
{
    const std::string zeros(200000, '0');
    const std::string nines(1000, '9');
    // The halfway point between 1 and the next double, 1 + 2^-53.
    const std::string half = "1.00000000000000011102230246251565404236316680908203125";
    const struct {
        std::string text;
        Value value;
    } cases[] = {
        {"1" + zeros + "e-1000000", 0},
        {"1" + zeros + "e-200000", 1},
        {"0." + zeros + "1e200001", 1},
        {"-0." + zeros + "1e200000", -0.1},
        {"1" + zeros, HUGE_VAL},
        {half, 1},                                         // a tie goes to the even 1
        {half + zeros + "1", 1.0000000000000002},          // a digit far away decides
        {"9007199254740993" + zeros + "e-200000", 9007199254740992.0},  // 2^53 + 1: a tie
        {"9007199254740993." + zeros + "1", 9007199254740994.0},
        {"0." + nines + "e1000", HUGE_VAL},
        {"0." + nines, 1},
    };
    for (const auto &c : cases) {
        const Value actual = ReadWhole(c.text.c_str());
        EXPECT_EQ(std::memcmp(&actual, &c.value, sizeof actual), 0)
            << c.text.substr(0, 60) << "... (" << c.text.size() << " bytes) read as " << actual
            << ", not " << c.value;
    }
}

// The reader says where the number ends, so the evaluator need not scan its
// bytes again.
TEST(ReadNumberTest, ReturnsWhereTheNumberEnds)
{
    const struct {
        const char *text;
        std::size_t length;
    } cases[] = {
        {"12", 2},     {"12 3", 2},    {"-1.5x", 4},  {"7.", 2},    {"7.e", 2},
        {"1e5+", 3},   {"1e+", 1},     {"2E-3e4", 4}, {"3..", 2},   {"0x10", 1},
        {"1,234", 1},  {"5e-", 1},     {"9e99999999999999999999", 22},
    };
    for (const auto &c : cases) {
        kelvaro::Value value = 0;
        const char *end = c.text + std::strlen(c.text);
        EXPECT_EQ(kelvaro::ReadNumber(c.text, end, value) - c.text,
                  static_cast<std::ptrdiff_t>(c.length))
            << c.text;
    }
    // The span's end stops it, whatever follows in memory.
    const char text[] = "123456";
    kelvaro::Value value = 0;
    EXPECT_EQ(kelvaro::ReadNumber(text, text + 3, value), text + 3);
    EXPECT_EQ(value, 123);
}

TEST(ReadNumberTest, KeepsTheSignOfValuesTooSmallToRepresent)
{
    EXPECT_TRUE(std::signbit(ReadWhole("-1e-400")));
    EXPECT_FALSE(std::signbit(ReadWhole("1e-400")));
    EXPECT_TRUE(std::signbit(ReadWhole("-0")));
}

}  // namespace
