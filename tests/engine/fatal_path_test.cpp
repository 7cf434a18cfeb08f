#include "engine/evaluator.h"
#include "engine/value_stack.h"
#include "support/case_name.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kelvaro_test::kFailureStatus;
using kelvaro_test::kOverflow;
using kelvaro_test::kOverflowStatus;
using kelvaro_test::kUnderflow;

struct FatalCase {
    const char *expression;
    const char *output;
    int status;
};

void Evaluate(const char *expression)
{
    kelvaro::Value result = 0;
    kelvaro::EvaluateExpression(result, expression);
}

class FatalPathTest : public testing::TestWithParam<FatalCase> {};

TEST_P(FatalPathTest, PrintsTheMessageAndEndsTheProcess)
{
    EXPECT_FATAL(Evaluate(GetParam().expression), GetParam().status, GetParam().output);
}

const FatalCase kInvalidCharacters[] = {
    {"3 4 ?", "Invalid character: '?'\n", kFailureStatus},
    {".5", "Invalid character: '.'\n", kFailureStatus},
    {"\t3", "Invalid character: '\t'\n", kFailureStatus},
    {"3 \t4 +", "Invalid character: '\t'\n", kFailureStatus},
    {"3 \r", "Invalid character: '\r'\n", kFailureStatus},
    {"\x80", "Invalid character: '\x80'\n", kFailureStatus},
    {"1 \xe9", "Invalid character: '\xe9'\n", kFailureStatus},
    {"\xff", "Invalid character: '\xff'\n", kFailureStatus},
    {"a", "Invalid character: 'a'\n", kFailureStatus},
    {"1 e", "Invalid character: 'e'\n", kFailureStatus},
    {"P", "Invalid character: 'P'\n", kFailureStatus},
    {"1 X", "Invalid character: 'X'\n", kFailureStatus},
    {"[", "Invalid character: '['\n", kFailureStatus},
    {"'", "Invalid character: '''\n", kFailureStatus},
    {"1 2 @ 3 ?",
     "\n---------\n2.000000\n1.000000\n---------\nInvalid character: '?'\n", kFailureStatus},
};
INSTANTIATE_TEST_SUITE_P(InvalidCharacter, FatalPathTest, testing::ValuesIn(kInvalidCharacters),
                         kelvaro_test::ExpressionName());

const FatalCase kUnderflows[] = {
    {"", kUnderflow, kFailureStatus},
    {"   ", kUnderflow, kFailureStatus},
    {"\n", kUnderflow, kFailureStatus},
    {"1 x", kUnderflow, kFailureStatus},
    {"#", kUnderflow, kFailureStatus},
    {"+", kUnderflow, kFailureStatus},
    {"1 +", kUnderflow, kFailureStatus},
    {"5 - 3", kUnderflow, kFailureStatus},
    {"3\n4 +", kUnderflow, kFailureStatus},
    {"1 -.5", kUnderflow, kFailureStatus},
    {"1 ]", kUnderflow, kFailureStatus},
    {"x", kUnderflow, kFailureStatus},
    {"s", kUnderflow, kFailureStatus},
    {"!", kUnderflow, kFailureStatus},
    {"+1 2", kUnderflow, kFailureStatus},
    {"1 # x x", "Top of stack: 1.000000\nyou have a stack underflow!\n", kFailureStatus},
};
INSTANTIATE_TEST_SUITE_P(Underflow, FatalPathTest, testing::ValuesIn(kUnderflows),
                         kelvaro_test::ExpressionName());

std::string Pushes(int count)
{
    std::string expression;
    for (int i = 0; i < count; ++i) {
        expression += "1 ";
    }
    return expression;
}

TEST(StackBoundTest, The266thPushOverflows)
{
    const std::string expression = Pushes(kelvaro::kStackCapacity + 1);
    EXPECT_FATAL(Evaluate(expression.c_str()), kOverflowStatus, kOverflow);
}

TEST(StackBoundTest, ConstantPushOverflowsToo)
{
    const std::string expression = Pushes(kelvaro::kStackCapacity) + "# p";
    EXPECT_FATAL(Evaluate(expression.c_str()), kOverflowStatus,
                 std::string("Top of stack: 1.000000\n") + kOverflow);
}

TEST(StackBoundTest, PushOnAFullStackStoresNothing)
{
    EXPECT_FATAL(
        {
            for (int i = 0; i < kelvaro::kStackCapacity; ++i) {
                kelvaro::PushValue(i);
            }
            kelvaro::PushValue(-1);
        },
        kOverflowStatus, kOverflow);
}

}  // namespace
