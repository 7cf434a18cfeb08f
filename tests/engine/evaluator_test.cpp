#include "engine/command_table.h"
#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "engine/value_stack.h"
#include "support/case_name.h"
#include "support/expression_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using kelvaro::Outcome;
using kelvaro::Status;
using kelvaro::Value;
using kelvaro::ValueStack;
using kelvaro_test::FailureCase;
using kelvaro_test::ListingCase;
using kelvaro_test::ValueCase;

std::string Fixed(Value value)
{
    char text[kelvaro::kMaxFixedText];
    return std::string(text, kelvaro::FormatFixed(text, value));
}

// Collects the listing lines and the values a listing reports.
struct Recorder {
    std::string lines;
    std::string values;  // "#:<top> " and "@:<bottom>,...,<top> "

    static void Line(void *context, const char *line, std::size_t length)
    {
        static_cast<Recorder *>(context)->lines.append(line, length);
    }
    static void Values(void *context, char command, const Value *values, std::size_t count)
    {
        std::string &out = static_cast<Recorder *>(context)->values;
        out += command;
        out += ':';
        for (std::size_t i = 0; i < count; ++i) {
            out += (i > 0 ? "," : "") + Fixed(values[i]);
        }
        out += ' ';
    }
    kelvaro::Listing Listing() { return kelvaro::Listing{Line, Values, this}; }
};

struct EngineRun {
    Outcome outcome;
    std::string lines;
    std::string values;
    std::size_t depth;
};

// The legacy output of a failure without its last line, the message.
std::string ListingBeforeMessage(const std::string &output)
{
    const std::size_t cut = output.rfind('\n', output.size() - 2);
    return cut == std::string::npos ? "" : output.substr(0, cut + 1);
}

EngineRun Evaluate(std::string_view expression)
{
    ValueStack stack;
    kelvaro::ResetStack(stack);
    Recorder recorder;
    const Outcome outcome =
        kelvaro::EvaluateExpression(stack, expression.data(), expression.size(), recorder.Listing());
    return EngineRun{outcome, recorder.lines, recorder.values, kelvaro::StackCount(stack)};
}

class ResultTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ResultTest, LeavesTheTopAsResult)
{
    const EngineRun run = Evaluate(GetParam().expression);
    ASSERT_EQ(run.outcome.status, Status::kOk);
    EXPECT_EQ(Fixed(run.outcome.value), GetParam().result);
    EXPECT_EQ(run.lines, "");
}

INSTANTIATE_TEST_SUITE_P(Arithmetic, ResultTest, testing::ValuesIn(kelvaro_test::kArithmetic),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Numbers, ResultTest, testing::ValuesIn(kelvaro_test::kNumbers),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Scanning, ResultTest, testing::ValuesIn(kelvaro_test::kScanning),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Functions, ResultTest, testing::ValuesIn(kelvaro_test::kFunctions),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Factorial, ResultTest, testing::ValuesIn(kelvaro_test::kFactorial),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(StackCommands, ResultTest,
                         testing::ValuesIn(kelvaro_test::kStackCommands),
                         kelvaro_test::ExpressionName());

class ListingTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ListingTest, WritesTheLegacyLinesInOrder)
{
    const EngineRun run = Evaluate(GetParam().expression);
    ASSERT_EQ(run.outcome.status, Status::kOk);
    EXPECT_EQ(run.lines, GetParam().output);
    EXPECT_EQ(Fixed(run.outcome.value), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Listings, ListingTest, testing::ValuesIn(kelvaro_test::kListings),
                         kelvaro_test::ExpressionName());

class FailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailureTest, ReturnsKindOffsetAndByte)
{
    const FailureCase &c = GetParam();
    const EngineRun run = Evaluate(c.expression);
    EXPECT_EQ(static_cast<int>(run.outcome.status), c.status);
    EXPECT_EQ(run.outcome.offset, c.offset);
    EXPECT_EQ(run.outcome.byte, static_cast<unsigned char>(c.byte));
    // The listings made before the failure stand; the message is not the
    // engine's to write.
    EXPECT_EQ(run.lines, ListingBeforeMessage(c.output));
}

INSTANTIATE_TEST_SUITE_P(Failures, FailureTest, testing::ValuesIn(kelvaro_test::kFailures),
                         kelvaro_test::ExpressionName());

TEST(FailureTest, OverflowsAtThe266thPush)
{
    for (const auto &c : kelvaro_test::OverflowCases()) {
        const EngineRun run = Evaluate(c.expression);
        EXPECT_EQ(run.outcome.status, Status::kStackOverflow) << c.name;
        EXPECT_EQ(run.outcome.offset, c.offset) << c.name;
        EXPECT_EQ(run.outcome.byte, static_cast<unsigned char>(c.byte)) << c.name;
        EXPECT_EQ(run.depth, 265u) << c.name;
    }
}

// The text is exactly `length` bytes: a NUL inside it is a byte like any
// other, and bytes after it are never read.
struct SpanCase {
    std::string_view text;
    Status status;
    std::size_t offset;
    const char *result;
};

TEST(SpanTest, ReadsExactlyTheGivenBytes)
{
    using namespace std::string_view_literals;
    const SpanCase cases[] = {
        {"3 4 +\0"sv, Status::kOk, 0, "7.000000"},
        {"3 \0 +"sv, Status::kInvalidCharacter, 2, nullptr},
        {"\0"sv, Status::kInvalidCharacter, 0, nullptr},
        {"12\0""34"sv, Status::kOk, 0, "12.000000"},
        {"1.5\0e3"sv, Status::kOk, 0, "1.500000"},
        {"1e\0""3"sv, Status::kOk, 0, "1.000000"},
    };
    for (const SpanCase &c : cases) {
        const EngineRun run = Evaluate(c.text);
        EXPECT_EQ(run.outcome.status, c.status) << c.text.size();
        if (c.result != nullptr) {
            EXPECT_EQ(Fixed(run.outcome.value), c.result);
        } else {
            EXPECT_EQ(run.outcome.offset, c.offset);
        }
    }
    // Cut short, a number or a '-' sees no more than its span: "12345" read
    // through 2 bytes is 12, "-5" through 1 byte is the subtract command.
    EXPECT_EQ(Fixed(Evaluate(std::string_view("12345", 2)).outcome.value), "12.000000");
    EXPECT_EQ(Fixed(Evaluate(std::string_view("1 2e5", 4)).outcome.value), "2.000000");
    EXPECT_EQ(Fixed(Evaluate(std::string_view("0.25", 3)).outcome.value), "0.200000");
    const EngineRun minus = Evaluate(std::string_view("1 -5", 3));
    EXPECT_EQ(minus.outcome.status, Status::kStackUnderflow);
    EXPECT_EQ(minus.outcome.offset, 2u);
}

TEST(ListingValuesTest, ReportsTheValuesBottomFirst)
{
    const EngineRun run = Evaluate("1 2 3 @ x # 4 ]");
    EXPECT_EQ(run.values, "@:1.000000,2.000000,3.000000 #:2.000000 ");
    EXPECT_EQ(Evaluate("@ 1").values, "@: ");
}

TEST(ListingValuesTest, NullCallbacksSendListingsNowhere)
{
    ValueStack stack;
    kelvaro::ResetStack(stack);
    const char text[] = "1 2 @ # +";
    const Outcome outcome =
        kelvaro::EvaluateExpression(stack, text, std::strlen(text), kelvaro::Listing{});
    EXPECT_EQ(outcome.status, Status::kOk);
    EXPECT_EQ(outcome.value, 3);
}

TEST(RunTokensTest, LeavesTheStackToTheCaller)
{
    ValueStack stack;
    kelvaro::ResetStack(stack);
    const char first[] = "1 2";
    EXPECT_EQ(kelvaro::RunTokens(stack, first, 3, kelvaro::Listing{}).status, Status::kOk);
    const char second[] = "+ x";
    EXPECT_EQ(kelvaro::RunTokens(stack, second, 3, kelvaro::Listing{}).status, Status::kOk);
    EXPECT_EQ(kelvaro::StackCount(stack), 0u);
    // An empty stack at the end is no failure here: that is the caller's rule.
    const Outcome empty = kelvaro::RunTokens(stack, "", 0, kelvaro::Listing{});
    EXPECT_EQ(empty.status, Status::kOk);
    EXPECT_EQ(empty.offset, 0u);
}

TEST(EvaluatorTest, ConstantIsTheDoubleNearestToItsDecimal)
{
    EXPECT_EQ(Evaluate("p").outcome.value, 3.1415);
}

TEST(EvaluatorTest, HoldsAFullStackOf265)
{
    std::string expression;
    for (int i = 1; i <= kelvaro::kStackCapacity; ++i) {
        expression += std::to_string(i) + " ";
    }
    expression += "+";
    EXPECT_EQ(Fixed(Evaluate(expression).outcome.value), "529.000000");
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
