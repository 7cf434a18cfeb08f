#include "engine/value_stack.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

namespace {

using kelvaro_test::StdoutOf;

class ValueStackTest : public testing::Test {
protected:
    void SetUp() override { kelvaro::ResetStack(); }
    void TearDown() override { kelvaro::ResetStack(); }
};

TEST_F(ValueStackTest, PopsInReverseOrderOfPushes)
{
    kelvaro::PushValue(1);
    kelvaro::PushValue(2);
    kelvaro::PushValue(3);
    EXPECT_EQ(kelvaro::StackCount(), 3);
    EXPECT_EQ(kelvaro::PeekValue(), 3);
    EXPECT_EQ(kelvaro::PopValue(), 3);
    EXPECT_EQ(kelvaro::PopValue(), 2);
    EXPECT_EQ(kelvaro::PopValue(), 1);
    EXPECT_EQ(kelvaro::StackCount(), 0);
}

TEST_F(ValueStackTest, HoldsExactly265Values)
{
    for (int i = 0; i < kelvaro::kStackCapacity; ++i) {
        kelvaro::PushValue(i);
    }
    EXPECT_EQ(kelvaro::StackCount(), 265);
    EXPECT_EQ(kelvaro::PeekValue(), 264);
    EXPECT_EQ(kelvaro::PopValue(), 264);
    kelvaro::PushValue(-7);
    EXPECT_EQ(kelvaro::PeekValue(), -7);
}

TEST_F(ValueStackTest, PrintsTopFirstBetweenRules)
{
    kelvaro::PushValue(1);
    kelvaro::PushValue(2);
    kelvaro::PushValue(3);
    EXPECT_EQ(StdoutOf(kelvaro::PrintStack),
              "\n---------\n3.000000\n2.000000\n1.000000\n---------\n");
    EXPECT_EQ(kelvaro::StackCount(), 3);
}

TEST_F(ValueStackTest, PrintsRulesOnlyWhenEmpty)
{
    EXPECT_EQ(StdoutOf(kelvaro::PrintStack), "\n---------\n---------\n");
}

TEST_F(ValueStackTest, ResetEmptiesWithoutPopping)
{
    kelvaro::PushValue(5);
    kelvaro::PushValue(6);
    kelvaro::ResetStack();
    EXPECT_EQ(kelvaro::StackCount(), 0);
    EXPECT_EQ(StdoutOf(kelvaro::PrintStack), "\n---------\n---------\n");
    EXPECT_FATAL(kelvaro::PopValue(), kelvaro_test::kFailureStatus, kelvaro_test::kUnderflow);
}

TEST_F(ValueStackTest, PeekOnEmptyUnderflows)
{
    EXPECT_FATAL(kelvaro::PeekValue(), kelvaro_test::kFailureStatus, kelvaro_test::kUnderflow);
}

}  // namespace
