#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "engine/value_stack.h"
#include "support/case_name.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

using kelvaro::Value;
using kelvaro_test::StdoutOf;

std::string Fixed(Value value)
{
    char text[kelvaro::kMaxFixedText];
    return std::string(text, kelvaro::FormatFixed(text, value));
}

struct Case {
    const char *expression;
    const char *result;  // "%f" of the value left on top
};

// Evaluates `expression`, expecting no output, and returns the result as text.
std::string Evaluate(const char *expression)
{
    Value result = -12345;
    const std::string output = StdoutOf([&] { kelvaro::EvaluateExpression(result, expression); });
    EXPECT_EQ(output, "") << expression;
    EXPECT_EQ(kelvaro::StackCount(), 0) << expression;
    return Fixed(result);
}

class ResultTest : public testing::TestWithParam<Case> {};

TEST_P(ResultTest, LeavesTheTopAsResult)
{
    EXPECT_EQ(Evaluate(GetParam().expression), GetParam().result) << GetParam().expression;
}

const Case kArithmetic[] = {
    {"3 4 +", "7.000000"},       {"5 3 -", "2.000000"},      {"3 4 *", "12.000000"},
    {"6 3 /", "2.000000"},       {"2 3 /", "0.666667"},      {"2 10 ^", "1024.000000"},
    {"7 4 %", "3.000000"},       {"-7 4 %", "-3.000000"},    {"7 -4 %", "3.000000"},
    {"7.5 2 %", "1.500000"},     {"2 0.5 ^", "1.414214"},    {"3 4 + 2 *", "14.000000"},
    {"1 2 3 4 + + +", "10.000000"}, {"10 2 8 * + 3 -", "23.000000"},
};
INSTANTIATE_TEST_SUITE_P(Arithmetic, ResultTest, testing::ValuesIn(kArithmetic),
                         kelvaro_test::ExpressionName());

const Case kNumbers[] = {
    {"1e3 1 +", "1001.000000"}, {"-2.5", "-2.500000"},  {"7.", "7.000000"},
    {"2.5x", "2.500000"},       {"12abc", "12.000000"}, {"1E2", "100.000000"},
    {"1e+2", "100.000000"},     {"1e-2", "0.010000"},   {"1e", "1.000000"},
    {"1e+", "1.000000"},        {"1ex", "1.000000"},    {"0x10", "0.000000"},
    {"-0", "-0.000000"},        {"00012", "12.000000"}, {"1.5e3.7", "1500.000000"},
    {"0.0000004", "0.000000"},  {"0.0000005", "0.000000"}, {"0.00000051", "0.000001"}, {"-0.0000001", "-0.000000"},
    {"123456789012345678901234567890", "123456789012345677877719597056.000000"},
    {"1e400", "inf"},           {"-1e400", "-inf"},     {"1e-400", "0.000000"},
    {"-1e-400", "-0.000000"},   {"0.000e999999", "0.000000"},
    {"1e99999999999999999999", "inf"}, {"1e-99999999999999999999", "0.000000"},
    {"4e-324 1e300 *", "0.000000"}, {"4e-324 1e300 * 1e24 *", "4.940656"},
    {"3e-324 1e300 * 1e24 *", "4.940656"}, {"2e-324", "0.000000"},
};
INSTANTIATE_TEST_SUITE_P(Numbers, ResultTest, testing::ValuesIn(kNumbers),
                         kelvaro_test::ExpressionName());

// Tokens start at the first byte and after a space or tab; only their first
// byte counts.
const Case kScanning[] = {
    {"3 4", "4.000000"},        {"-5 3 +", "-2.000000"},    {"5 -3", "-3.000000"},
    {"3 4 +5", "7.000000"},     {"0 sin", "0.000000"},      {"3 4+", "4.000000"},
    {"3\t4 +", "7.000000"},     {"  3   4 +  ", "7.000000"}, {"3 4 +\n", "7.000000"},
    {"3 4 + \n", "7.000000"},   {"1 2 +x", "3.000000"},     {"12 3 -- ", "9.000000"},
    {"3 4\r", "4.000000"},      {"3 4 +\xff", "7.000000"},  {"1 2 3 xxx x", "1.000000"},
    {"2 3 ^abc", "8.000000"},   {"1-2", "1.000000"},        
};
INSTANTIATE_TEST_SUITE_P(Scanning, ResultTest, testing::ValuesIn(kScanning),
                         kelvaro_test::ExpressionName());

const Case kFunctions[] = {
    {"0 s", "0.000000"},    {"0 c", "1.000000"},    {"1 t", "1.557408"},
    {"1 S", "1.570796"},    {"1 C", "0.000000"},    {"1 T", "0.785398"},
    {"1 L", "2.718282"},    {"1 l", "0.000000"},    {"10 l", "2.302585"},
    {"p", "3.141500"},      {"p 2 *", "6.283000"},  {"p s", "0.000093"},
    {"1 0 /", "inf"},       {"-1 0 /", "-inf"},     {"0 0 /", "nan"},
    {"-1 l", "nan"},        {"2 S", "nan"},         {"0 l", "-inf"},
    {"1e308 10 *", "inf"},  {"1 0 / 0 *", "nan"},   {"0 0 / -1 *", "nan"},
    {"1 0 0 / %", "nan"},   {"-1 0.5 ^", "nan"},    {"1000 L", "inf"},
};
INSTANTIATE_TEST_SUITE_P(Functions, ResultTest, testing::ValuesIn(kFunctions),
                         kelvaro_test::ExpressionName());

const Case kFactorial[] = {
    {"0 !", "1.000000"},           {"1 !", "1.000000"},
    {"2 !", "2.000000"},           {"5 !", "120.000000"},
    {"12 !", "479001600.000000"},  {"13 !", "1932053504.000000"},
    {"17 !", "-288522240.000000"}, {"33 !", "-2147483648.000000"},
    {"34 !", "0.000000"},          {"3.9 !", "6.000000"},
    {"12.99 !", "479001600.000000"}, {"-4 !", "1.000000"},
    {"-3.9 !", "1.000000"},        {"2147483647 !", "0.000000"},
    {"2147483648 !", "0.000000"},  {"1e10 !", "0.000000"},
    {"-2147483649 !", "1.000000"}, {"-1e10 !", "1.000000"},
    {"0 0 / !", "1.000000"},       {"1 0 / !", "0.000000"},
    {"-1 0 / !", "1.000000"},      {"3 ! !", "720.000000"},
};
INSTANTIATE_TEST_SUITE_P(Factorial, ResultTest, testing::ValuesIn(kFactorial),
                         kelvaro_test::ExpressionName());

const Case kStackCommands[] = {
    {"1 2 ]", "1.000000"}, {"1 2 x", "1.000000"}, {"1 3 ] -", "2.000000"},
    {"5 1 ] x", "1.000000"}, {"1 2 3 ] ] ]", "2.000000"},
};
INSTANTIATE_TEST_SUITE_P(StackCommands, ResultTest, testing::ValuesIn(kStackCommands),
                         kelvaro_test::ExpressionName());

struct Listing {
    const char *expression;
    const char *output;
    const char *result;
};

class ListingTest : public testing::TestWithParam<Listing> {};

TEST_P(ListingTest, PrintsBeforeReturning)
{
    Value result = 0;
    const std::string output =
        StdoutOf([&] { kelvaro::EvaluateExpression(result, GetParam().expression); });
    EXPECT_EQ(output, GetParam().output);
    EXPECT_EQ(Fixed(result), GetParam().result);
    EXPECT_EQ(kelvaro::StackCount(), 0);
}

const Listing kListings[] = {
    {"1 2 @", "\n---------\n2.000000\n1.000000\n---------\n", "2.000000"},
    {"@ 7", "\n---------\n---------\n", "7.000000"},
    {"1 2 + #", "Top of stack: 3.000000\n", "3.000000"},
    {"-1.5 # 2 #", "Top of stack: -1.500000\nTop of stack: 2.000000\n", "2.000000"},
    {"1 0 / # 0 0 / # -1 0 / @",
     "Top of stack: inf\nTop of stack: nan\n\n---------\n-inf\nnan\ninf\n---------\n", "-inf"},
    {"1e20 @", "\n---------\n100000000000000000000.000000\n---------\n", "100000000000000000000.000000"},
    {"1 2 ] @", "\n---------\n1.000000\n2.000000\n---------\n", "1.000000"},
};
INSTANTIATE_TEST_SUITE_P(Listings, ListingTest, testing::ValuesIn(kListings),
                         kelvaro_test::ExpressionName());

TEST(EvaluatorTest, EvaluationsAreIndependent)
{
    Value result = 0;
    StdoutOf([&] { kelvaro::EvaluateExpression(result, "1 2 3"); });
    EXPECT_EQ(result, 3);
    EXPECT_EQ(kelvaro::StackCount(), 0);
    const std::string output = StdoutOf([&] { kelvaro::EvaluateExpression(result, "@ 9"); });
    EXPECT_EQ(output, "\n---------\n---------\n");
}

TEST(EvaluatorTest, ConstantIsTheDoubleNearestToItsDecimal)
{
    Value result = 0;
    kelvaro::EvaluateExpression(result, "p");
    EXPECT_EQ(result, 3.1415);
}

TEST(EvaluatorTest, HoldsAFullStackOf265)
{
    std::string expression;
    for (int i = 1; i <= kelvaro::kStackCapacity; ++i) {
        expression += std::to_string(i) + " ";
    }
    expression += "+";
    EXPECT_EQ(Evaluate(expression.c_str()), "529.000000");
}

struct FactorialCase {
    std::int32_t n;
    std::int32_t product;
};

TEST(FactorialTest, WrapsAtThirtyTwoBits)
{
    const FactorialCase cases[] = {
        {INT32_MIN, 1}, {-1, 1}, {0, 1}, {1, 1}, {2, 2}, {10, 3628800},
        {12, 479001600}, {13, 1932053504}, {17, -288522240}, {20, -2102132736},
        {33, INT32_MIN}, {34, 0}, {1000, 0}, {INT32_MAX, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(kelvaro::Factorial(c.n), c.product) << c.n;
    }
}

struct TruncateCase {
    Value value;
    std::int32_t integer;
};

TEST(TruncateToInt32Test, SaturatesAndTruncatesTowardZero)
{
    const TruncateCase cases[] = {
        {0.0, 0}, {-0.0, 0}, {2.99, 2}, {-2.99, -2},
        {2147483647.0, INT32_MAX}, {2147483647.99, INT32_MAX}, {2147483648.0, INT32_MAX},
        {1e300, INT32_MAX}, {-2147483648.0, INT32_MIN}, {-2147483648.5, INT32_MIN},
        {-2147483647.9, -2147483647}, {-1e300, INT32_MIN},
        {HUGE_VAL, INT32_MAX}, {-HUGE_VAL, INT32_MIN}, {std::nan(""), 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(kelvaro::TruncateToInt32(c.value), c.integer) << c.value;
    }
}

}  // namespace
