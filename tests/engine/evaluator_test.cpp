// What the evaluator offers beyond the public API: running tokens on a stack
// the caller keeps, the journal that undoes a failed text, and the integer
// helpers of '!'. The notation's tables run once, at the public API.
#include "engine/command_table.h"
#include "engine/evaluator.h"
#include "engine/value_stack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using kelvaro::Value;
using kelvaro::ValueStack;

std::vector<Value> ValuesOf(const ValueStack &stack)
{
    return std::vector<Value>(stack.values, stack.values + stack.depth);
}

kelvaro_rpn_outcome RunOn(ValueStack &stack, const char *text)
{
    return kelvaro::RunTokens(stack, text, std::strlen(text), nullptr);
}

TEST(RunTokensTest, LeavesTheStackToTheCaller)
{
    ValueStack stack;
    kelvaro::ResetStack(stack);
    EXPECT_EQ(RunOn(stack, "1 2").status, KELVARO_RPN_OK);
    EXPECT_EQ(RunOn(stack, "+ x").status, KELVARO_RPN_OK);
    EXPECT_EQ(kelvaro::StackCount(stack), 0u);
    // An empty stack at the end is no failure here: that is the caller's rule.
    const kelvaro_rpn_outcome empty = RunOn(stack, "");
    EXPECT_EQ(empty.status, KELVARO_RPN_OK);
    EXPECT_EQ(empty.offset, 0u);
}

TEST(RunTokensTest, AFailureLeavesWhatTheCommandsBeforeItLeft)
{
    ValueStack stack;
    kelvaro::ResetStack(stack);
    const kelvaro_rpn_outcome outcome = RunOn(stack, "1 2 + 5 ] ?");
    EXPECT_EQ(outcome.status, KELVARO_RPN_INVALID_CHARACTER);
    EXPECT_EQ(outcome.offset, 10u);
    EXPECT_EQ(ValuesOf(stack), (std::vector<Value>{5, 3}));
}

// A journaled run on a stack that holds values already: whatever the text
// did before failing, RestoreStack puts back exactly the values there were.
struct JournalCase {
    const char *text;
    kelvaro_rpn_status status;
};

TEST(StackJournalTest, RestoresTheStackAfterAnyFailure)
{
    const JournalCase cases[] = {
        {"+ + + ?", KELVARO_RPN_INVALID_CHARACTER},      // pops three deep, then fails
        {"x x x x x x", KELVARO_RPN_STACK_UNDERFLOW},    // drops all five, then one more
        {"] x 9 9 9 9 9 ?", KELVARO_RPN_INVALID_CHARACTER},  // overwrites popped slots
        {"s c t ! ?", KELVARO_RPN_INVALID_CHARACTER},    // rewrites the top in place
        {"x x 7 ] + * - - -", KELVARO_RPN_STACK_UNDERFLOW},
        {"1 2 3 ?", KELVARO_RPN_INVALID_CHARACTER},      // only pushes
        {"@ # x # \t", KELVARO_RPN_INVALID_CHARACTER},   // listings change nothing
    };
    for (const JournalCase &c : cases) {
        ValueStack stack;
        kelvaro::ResetStack(stack);
        for (Value v : {10.0, 20.0, 30.0, 40.0, 50.0}) {
            kelvaro::PushValue(stack, v);
        }
        const std::vector<Value> before = ValuesOf(stack);
        kelvaro::StackJournal journal;
        kelvaro::StartJournal(journal, stack);
        const kelvaro_rpn_outcome outcome = kelvaro::RunTokensJournaled(
            stack, journal, c.text, std::strlen(c.text), nullptr);
        ASSERT_EQ(outcome.status, c.status) << c.text;
        kelvaro::RestoreStack(stack, journal);
        EXPECT_EQ(ValuesOf(stack), before) << c.text;
    }
}

TEST(StackJournalTest, SavesOnlyWhatTheTextReached)
{
    ValueStack stack;
    kelvaro::ResetStack(stack);
    for (int i = 0; i < 200; ++i) {
        kelvaro::PushValue(stack, i);
    }
    kelvaro::StackJournal journal;
    kelvaro::StartJournal(journal, stack);
    const char text[] = "+ * 5";
    EXPECT_EQ(kelvaro::RunTokensJournaled(stack, journal, text, std::strlen(text), nullptr).status,
              KELVARO_RPN_OK);
    EXPECT_EQ(journal.start, 200u);
    EXPECT_EQ(journal.floor, 197u);  // three values popped from below the start
}

TEST(CommandTableTest, EveryByteAppearsOnce)
{
    for (std::size_t i = 0; i < kelvaro::kCommandCount; ++i) {
        for (std::size_t j = i + 1; j < kelvaro::kCommandCount; ++j) {
            EXPECT_NE(kelvaro::kCommands[i].byte, kelvaro::kCommands[j].byte) << i << " " << j;
        }
    }
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
