// A calculator keeps its stack between evaluations, and a failure changes
// nothing.
#include "api/api_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using kelvaro_test::EvaluateOn;
using kelvaro_test::Fixed;
using kelvaro_test::StackOf;

struct CalculatorDeleter {
    void operator()(kelvaro_rpn_calculator *calculator) const
    {
        kelvaro_rpn_calculator_destroy(calculator);
    }
};
using Calculator = std::unique_ptr<kelvaro_rpn_calculator, CalculatorDeleter>;

Calculator MakeCalculator()
{
    Calculator calculator(kelvaro_rpn_calculator_create());
    EXPECT_NE(calculator, nullptr);
    return calculator;
}

// One step of a desk-calculator session: the text, the status, the value
// ("%f") on success, and the whole stack afterwards.
struct Step {
    const char *text;
    kelvaro_rpn_status status;
    const char *value;
    const char *stack;
};

void RunSession(const Step *steps, std::size_t count)
{
    Calculator calculator = MakeCalculator();
    for (std::size_t i = 0; i < count; ++i) {
        const Step &step = steps[i];
        const auto run = EvaluateOn(calculator.get(), step.text);
        EXPECT_EQ(run.outcome.status, step.status) << "step " << i << ": " << step.text;
        if (step.status == KELVARO_RPN_OK) {
            EXPECT_EQ(Fixed(run.outcome.value), step.value) << "step " << i;
        }
        EXPECT_EQ(StackOf(calculator.get()), step.stack) << "step " << i << ": " << step.text;
    }
}

TEST(CalculatorTest, StackCarriesOver)
{
    const Step steps[] = {
        {"1 2", KELVARO_RPN_OK, "2.000000", "1.000000,2.000000"},
        {"+", KELVARO_RPN_OK, "3.000000", "3.000000"},
        {"4 *", KELVARO_RPN_OK, "12.000000", "12.000000"},
        {"", KELVARO_RPN_OK, "12.000000", "12.000000"},
    };
    RunSession(steps, std::size(steps));
}

TEST(CalculatorTest, AFailureLeavesTheStackAsItWas)
{
    const Step steps[] = {
        {"5 6", KELVARO_RPN_OK, "6.000000", "5.000000,6.000000"},
        {"+ + +", KELVARO_RPN_STACK_UNDERFLOW, nullptr, "5.000000,6.000000"},
        {"x 7 ?", KELVARO_RPN_INVALID_CHARACTER, nullptr, "5.000000,6.000000"},
        {"]", KELVARO_RPN_OK, "5.000000", "6.000000,5.000000"},
        {"#", KELVARO_RPN_OK, "5.000000", "6.000000,5.000000"},
    };
    RunSession(steps, std::size(steps));
}

TEST(CalculatorTest, EmptyingTheStackSucceedsWithNaN)
{
    Calculator calculator = MakeCalculator();
    const auto run = EvaluateOn(calculator.get(), "1 2 x x");
    EXPECT_EQ(run.outcome.status, KELVARO_RPN_OK);
    EXPECT_TRUE(std::isnan(run.outcome.value));
    EXPECT_EQ(kelvaro_rpn_calculator_depth(calculator.get()), 0u);
    // '#' still reads the top, and an empty stack has none.
    const auto top = EvaluateOn(calculator.get(), "#");
    EXPECT_EQ(top.outcome.status, KELVARO_RPN_STACK_UNDERFLOW);
    EXPECT_EQ(top.outcome.offset, 0u);
}

TEST(CalculatorTest, OverflowKeepsTheFullStackIntact)
{
    Calculator calculator = MakeCalculator();
    std::string fill;
    for (int i = 0; i < KELVARO_RPN_STACK_CAPACITY; ++i) {
        fill += "1 ";
    }
    ASSERT_EQ(EvaluateOn(calculator.get(), fill).outcome.status, KELVARO_RPN_OK);
    const std::string before = StackOf(calculator.get());
    const auto run = EvaluateOn(calculator.get(), "+ 2 3");
    EXPECT_EQ(run.outcome.status, KELVARO_RPN_STACK_OVERFLOW);
    EXPECT_EQ(run.outcome.offset, 4u);
    EXPECT_EQ(StackOf(calculator.get()), before);
    EXPECT_EQ(kelvaro_rpn_calculator_depth(calculator.get()), 265u);
}

TEST(CalculatorTest, ValuesCopiesAtMostTheCapacity)
{
    Calculator calculator = MakeCalculator();
    EvaluateOn(calculator.get(), "1 2 3");
    double values[2] = {-1, -1};
    EXPECT_EQ(kelvaro_rpn_calculator_values(calculator.get(), values, 2), 3u);
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[1], 2);
    EXPECT_EQ(kelvaro_rpn_calculator_values(calculator.get(), nullptr, 0), 3u);
    kelvaro_rpn_calculator_clear(calculator.get());
    EXPECT_EQ(kelvaro_rpn_calculator_depth(calculator.get()), 0u);
}

TEST(CalculatorTest, CalculatorsAreIndependent)
{
    Calculator first = MakeCalculator();
    Calculator second = MakeCalculator();
    EvaluateOn(first.get(), "1 2");
    EvaluateOn(second.get(), "9");
    EXPECT_EQ(StackOf(first.get()), "1.000000,2.000000");
    EXPECT_EQ(StackOf(second.get()), "9.000000");
    kelvaro_rpn_calculator_destroy(nullptr);
}

}  // namespace
