// kelvaro_rpn_evaluate and its listing, on the engine's tables and at the
// edges of the text a host hands over.
#include "api/api_run.h"
#include "support/case_name.h"
#include "support/expression_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

using kelvaro_test::ApiRun;
using kelvaro_test::Evaluate;
using kelvaro_test::FailureCase;
using kelvaro_test::Fixed;
using kelvaro_test::ListingCase;
using kelvaro_test::ValueCase;

class ApiValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ApiValueTest, GivesTheValue)
{
    kelvaro_rpn_outcome outcome{};
    const char *text = GetParam().expression;
    ASSERT_EQ(kelvaro_rpn_evaluate(text, std::strlen(text), &outcome), KELVARO_RPN_OK);
    EXPECT_EQ(outcome.status, KELVARO_RPN_OK);
    EXPECT_EQ(Fixed(outcome.value), GetParam().result);
    // The same through a listing, which has nothing to list.
    const ApiRun run = Evaluate(text);
    EXPECT_EQ(Fixed(run.outcome.value), GetParam().result);
    EXPECT_EQ(run.lines, "");
    EXPECT_EQ(run.values, "");
}

INSTANTIATE_TEST_SUITE_P(Arithmetic, ApiValueTest, testing::ValuesIn(kelvaro_test::kArithmetic),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Numbers, ApiValueTest, testing::ValuesIn(kelvaro_test::kNumbers),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Scanning, ApiValueTest, testing::ValuesIn(kelvaro_test::kScanning),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Functions, ApiValueTest, testing::ValuesIn(kelvaro_test::kFunctions),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(Factorial, ApiValueTest, testing::ValuesIn(kelvaro_test::kFactorial),
                         kelvaro_test::ExpressionName());
INSTANTIATE_TEST_SUITE_P(StackCommands, ApiValueTest,
                         testing::ValuesIn(kelvaro_test::kStackCommands),
                         kelvaro_test::ExpressionName());

class ApiListingTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ApiListingTest, HandsOverTheLegacyLines)
{
    const ApiRun run = Evaluate(GetParam().expression);
    ASSERT_EQ(run.outcome.status, KELVARO_RPN_OK);
    EXPECT_EQ(run.lines, GetParam().output);
    EXPECT_EQ(Fixed(run.outcome.value), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Listings, ApiListingTest, testing::ValuesIn(kelvaro_test::kListings),
                         kelvaro_test::ExpressionName());

class ApiFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(ApiFailureTest, ReturnsKindAndOffset)
{
    const FailureCase &c = GetParam();
    kelvaro_rpn_outcome outcome{};
    const kelvaro_rpn_status status =
        kelvaro_rpn_evaluate(c.expression, std::strlen(c.expression), &outcome);
    EXPECT_EQ(static_cast<int>(status), c.status);
    EXPECT_EQ(outcome.status, status);
    EXPECT_EQ(outcome.offset, c.offset);
}

TEST_P(ApiFailureTest, MessageIsTheLegacyLastLine)
{
    const FailureCase &c = GetParam();
    const std::size_t length = std::strlen(c.expression);
    const ApiRun run = Evaluate(c.expression);
    char message[KELVARO_RPN_MESSAGE_SIZE];
    const size_t size =
        kelvaro_rpn_format_message(&run.outcome, c.expression, length, message, sizeof message);
    EXPECT_EQ(run.lines + std::string(message, size), c.output);
}

INSTANTIATE_TEST_SUITE_P(Failures, ApiFailureTest, testing::ValuesIn(kelvaro_test::kFailures),
                         kelvaro_test::ExpressionName());

TEST(ApiValueTest, ConstantIsTheDoubleNearestToItsDecimal)
{
    EXPECT_EQ(Evaluate("p").outcome.value, 3.1415);
}

TEST(ApiValueTest, HoldsAFullStackOf265)
{
    std::string expression;
    for (int i = 1; i <= KELVARO_RPN_STACK_CAPACITY; ++i) {
        expression += std::to_string(i) + " ";
    }
    expression += "+ @";
    const ApiRun run = Evaluate(expression);
    EXPECT_EQ(Fixed(run.outcome.value), "529.000000");
    // '@' lists 264 values: an empty line, two rules and a line each.
    EXPECT_EQ(std::count(run.lines.begin(), run.lines.end(), '\n'), 264 + 3);
}

TEST(ApiOverflowTest, FailsAtThePushThatFindsTheStackFull)
{
    for (const auto &c : kelvaro_test::OverflowCases()) {
        const ApiRun run = Evaluate(c.expression);
        EXPECT_EQ(run.outcome.status, KELVARO_RPN_STACK_OVERFLOW) << c.name;
        EXPECT_EQ(run.outcome.offset, c.offset) << c.name;
    }
}

// All `length` bytes are the text, and nothing after them is read.
struct SpanCase {
    const char *name;
    std::string text;
    kelvaro_rpn_status status;
    std::size_t offset;  // for a failure
    const char *value;   // for a success
};

TEST(ApiSpanTest, TheLengthBoundsTheText)
{
    using namespace std::string_literals;
    const SpanCase cases[] = {
        {"NUL at a token start", "3 \0 +"s, KELVARO_RPN_INVALID_CHARACTER, 2, nullptr},
        {"NUL alone", "\0"s, KELVARO_RPN_INVALID_CHARACTER, 0, nullptr},
        {"NUL inside a number", "12\0" "5 1 +"s, KELVARO_RPN_OK, 0, "13.000000"},
        {"NUL after the text", "3 4 +\0"s, KELVARO_RPN_OK, 0, "7.000000"},
        {"spaces only", "  "s, KELVARO_RPN_STACK_UNDERFLOW, 2, nullptr},
    };
    for (const SpanCase &c : cases) {
        kelvaro_rpn_outcome outcome{};
        EXPECT_EQ(kelvaro_rpn_evaluate(c.text.data(), c.text.size(), &outcome), c.status)
            << c.name;
        if (c.value != nullptr) {
            EXPECT_EQ(Fixed(outcome.value), c.value) << c.name;
        } else {
            EXPECT_EQ(outcome.offset, c.offset) << c.name;
        }
    }
}

TEST(ApiSpanTest, ANumberOrASignSeesOnlyItsSpan)
{
    const struct {
        const char *text;
        std::size_t length;
        kelvaro_rpn_status status;
        const char *value;  // or the offset of the failure
        std::size_t offset;
    } cases[] = {
        {"12345", 2, KELVARO_RPN_OK, "12.000000", 0},
        {"1 2e5", 4, KELVARO_RPN_OK, "2.000000", 0},
        {"0.25", 3, KELVARO_RPN_OK, "0.200000", 0},
        {"1.5\0e3", 6, KELVARO_RPN_OK, "1.500000", 0},
        {"1e\0" "3", 4, KELVARO_RPN_OK, "1.000000", 0},
        // "-5" cut after the '-' is the subtract command, with one value.
        {"1 -5", 3, KELVARO_RPN_STACK_UNDERFLOW, nullptr, 2},
    };
    for (const auto &c : cases) {
        kelvaro_rpn_outcome outcome{};
        EXPECT_EQ(kelvaro_rpn_evaluate(c.text, c.length, &outcome), c.status) << c.text;
        if (c.value != nullptr) {
            EXPECT_EQ(Fixed(outcome.value), c.value) << c.text;
        } else {
            EXPECT_EQ(outcome.offset, c.offset) << c.text;
        }
    }
}

TEST(ApiSpanTest, ReadsNoByteBeyondTheLength)
{
    // The text ends right at the end of a heap block, so AddressSanitizer
    // catches a read of the byte after it.
    const char *const texts[] = {"12", "1.5", "1e", "1e-", "-", "3 -", "2 3e7"};
    for (const char *text : texts) {
        const std::size_t length = std::strlen(text);
        const std::unique_ptr<char[]> exact(new char[length]);
        std::memcpy(exact.get(), text, length);
        kelvaro_rpn_outcome whole{};
        kelvaro_rpn_outcome cut{};
        kelvaro_rpn_evaluate(text, length, &whole);
        kelvaro_rpn_evaluate(exact.get(), length, &cut);
        EXPECT_EQ(cut.status, whole.status) << text;
        EXPECT_EQ(Fixed(cut.value), Fixed(whole.value)) << text;
    }
}

TEST(ApiSpanTest, NullTextIsTheEmptyText)
{
    kelvaro_rpn_outcome outcome{};
    EXPECT_EQ(kelvaro_rpn_evaluate(nullptr, 0, &outcome), KELVARO_RPN_STACK_UNDERFLOW);
    EXPECT_EQ(outcome.offset, 0u);
    EXPECT_EQ(kelvaro_rpn_evaluate(nullptr, 99, &outcome), KELVARO_RPN_STACK_UNDERFLOW);
    EXPECT_EQ(outcome.offset, 0u);
}

TEST(ApiSpanTest, OutcomeMayBeOmitted)
{
    EXPECT_EQ(kelvaro_rpn_evaluate("1 ?", 3, nullptr), KELVARO_RPN_INVALID_CHARACTER);
    EXPECT_EQ(kelvaro_rpn_evaluate_listing("1 @", 3, nullptr, nullptr), KELVARO_RPN_OK);
}

TEST(ApiListingValuesTest, ValuesComeBottomFirstAndBeforeTheirLines)
{
    const ApiRun run = Evaluate("1 2 3 @ x # 4 ]");
    EXPECT_EQ(run.values, "@:1.000000,2.000000,3.000000 #:2.000000 ");
    EXPECT_EQ(Evaluate("@ 5").values, "@: ");
}

TEST(ApiListingValuesTest, ListingsBeforeAFailureStand)
{
    const ApiRun run = Evaluate("1 # 2 @ ?");
    EXPECT_EQ(run.outcome.status, KELVARO_RPN_INVALID_CHARACTER);
    EXPECT_EQ(run.values, "#:1.000000 @:1.000000,2.000000 ");
    EXPECT_EQ(run.lines, "Top of stack: 1.000000\n\n---------\n2.000000\n1.000000\n---------\n");
}

TEST(ApiListingValuesTest, EitherCallbackMayBeNull)
{
    std::string lines;
    const kelvaro_rpn_listing onlyLines{
        [](void *context, const char *text, size_t length) {
            static_cast<std::string *>(context)->append(text, length);
        },
        nullptr, &lines};
    kelvaro_rpn_outcome outcome{};
    EXPECT_EQ(kelvaro_rpn_evaluate_listing("7 #", 3, &onlyLines, &outcome), KELVARO_RPN_OK);
    EXPECT_EQ(lines, "Top of stack: 7.000000\n");
    int calls = 0;
    const kelvaro_rpn_listing onlyValues{
        nullptr, [](void *context, char, const double *, size_t) { ++*static_cast<int *>(context); },
        &calls};
    EXPECT_EQ(kelvaro_rpn_evaluate_listing("7 # @", 5, &onlyValues, &outcome), KELVARO_RPN_OK);
    EXPECT_EQ(calls, 2);
}

}  // namespace
