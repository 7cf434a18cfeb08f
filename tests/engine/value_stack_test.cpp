#include "engine/value_stack.h"

#include <gtest/gtest.h>

namespace {

using kelvaro::Value;
using kelvaro::ValueStack;

ValueStack EmptyStack()
{
    ValueStack stack;
    kelvaro::ResetStack(stack);
    return stack;
}

TEST(ValueStackTest, PopsInReverseOrderOfPushes)
{
    ValueStack stack = EmptyStack();
    for (Value v : {1.0, 2.0, 3.0}) {
        ASSERT_TRUE(kelvaro::PushValue(stack, v));
    }
    Value value = 0;
    EXPECT_EQ(kelvaro::StackCount(stack), 3u);
    ASSERT_TRUE(kelvaro::PeekValue(stack, value));
    EXPECT_EQ(value, 3);
    for (Value expected : {3.0, 2.0, 1.0}) {
        ASSERT_TRUE(kelvaro::PopValue(stack, value));
        EXPECT_EQ(value, expected);
    }
    EXPECT_EQ(kelvaro::StackCount(stack), 0u);
}

TEST(ValueStackTest, HoldsExactly265AndRefusesThe266th)
{
    ValueStack stack = EmptyStack();
    for (std::size_t i = 0; i < kelvaro::kStackCapacity; ++i) {
        ASSERT_TRUE(kelvaro::PushValue(stack, static_cast<Value>(i)));
    }
    EXPECT_FALSE(kelvaro::PushValue(stack, -1));
    EXPECT_EQ(kelvaro::StackCount(stack), 265u);
    Value value = 0;
    ASSERT_TRUE(kelvaro::PeekValue(stack, value));
    EXPECT_EQ(value, 264) << "a refused push stores nothing";
    ASSERT_TRUE(kelvaro::PopValue(stack, value));
    EXPECT_TRUE(kelvaro::PushValue(stack, -7));
    ASSERT_TRUE(kelvaro::PeekValue(stack, value));
    EXPECT_EQ(value, -7);
}

TEST(ValueStackTest, EmptyStackRefusesPopAndPeekUnchanged)
{
    ValueStack stack = EmptyStack();
    Value value = 42;
    EXPECT_FALSE(kelvaro::PopValue(stack, value));
    EXPECT_FALSE(kelvaro::PeekValue(stack, value));
    EXPECT_EQ(value, 42);
    EXPECT_EQ(kelvaro::StackCount(stack), 0u);
}

TEST(ValueStackTest, ResetEmptiesWithoutClearing)
{
    ValueStack stack = EmptyStack();
    kelvaro::PushValue(stack, 5);
    kelvaro::PushValue(stack, 6);
    kelvaro::ResetStack(stack);
    Value value = 0;
    EXPECT_FALSE(kelvaro::PopValue(stack, value));
    EXPECT_EQ(stack.values[1], 6);
}

}  // namespace
