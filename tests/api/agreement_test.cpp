// The reentrant API and the legacy CalculatorRPN on the engine's tables: the
// same values, the same lines, and the API's failure where the legacy export
// ends the process.
#include <kelvaro/calculator_rpn.h>

#include "api/api_run.h"
#include "support/case_name.h"
#include "support/expression_tables.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using kelvaro_test::ApiRun;
using kelvaro_test::FailureCase;
using kelvaro_test::ListingCase;
using kelvaro_test::StdoutOf;

// Bytes as the wide characters CalculatorRPN narrows back to them.
std::wstring Widen(const std::string &bytes)
{
    std::wstring wide;
    for (const char c : bytes) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

std::string Narrow(const wchar_t *text)
{
    std::string narrow;
    for (; *text != L'\0'; ++text) {
        narrow += static_cast<char>(*text);
    }
    return narrow;
}

// On Windows, bytes above 0x7F pass through the code page on the legacy side.
bool SameBytesBothSides(const std::string &text)
{
#if defined(_WIN32)
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > 0x7F) {
            return false;
        }
    }
#else
    static_cast<void>(text);
#endif
    return true;
}

// What the legacy export prints for a successful `text`, as the API says it.
std::string ApiLegacyOutput(const ApiRun &run)
{
    return run.lines + "result = " + kelvaro_test::Fixed(run.outcome.value) + "\n";
}

TEST(AgreementTest, ValueTablesGiveTheSameTextAndLines)
{
    for (const auto &table : kelvaro_test::ValueTables()) {
        for (std::size_t i = 0; i < table.count; ++i) {
            const std::string text = table.cases[i].expression;
            if (!SameBytesBothSides(text)) {
                continue;
            }
            const ApiRun run = kelvaro_test::Evaluate(text);
            ASSERT_EQ(run.outcome.status, KELVARO_RPN_OK) << table.name << ": " << text;
            const std::wstring wide = Widen(text);
            std::string returned;
            const std::string output =
                StdoutOf([&] { returned = Narrow(CalculatorRPN(wide.c_str())); });
            EXPECT_EQ(returned, kelvaro_test::Fixed(run.outcome.value)) << table.name << ": " << text;
            EXPECT_EQ(output, ApiLegacyOutput(run)) << table.name << ": " << text;
        }
    }
}

class ListingAgreementTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ListingAgreementTest, ListingsAreTheSameLines)
{
    const std::string text = GetParam().expression;
    const ApiRun run = kelvaro_test::Evaluate(text);
    const std::wstring wide = Widen(text);
    EXPECT_EQ(StdoutOf([&] { CalculatorRPN(wide.c_str()); }), ApiLegacyOutput(run));
}

INSTANTIATE_TEST_SUITE_P(Listings, ListingAgreementTest,
                         testing::ValuesIn(kelvaro_test::kListings),
                         kelvaro_test::ExpressionName());

int LegacyStatus(kelvaro_rpn_status status)
{
    return status == KELVARO_RPN_STACK_OVERFLOW ? kelvaro_test::kOverflowStatus
                                                : kelvaro_test::kFailureStatus;
}

// The legacy output of a failure, built from the API's outcome alone.
std::string ApiFailureOutput(const std::string &text)
{
    const ApiRun run = kelvaro_test::Evaluate(text);
    char message[KELVARO_RPN_MESSAGE_SIZE];
    const size_t length =
        kelvaro_rpn_format_message(&run.outcome, text.data(), text.size(), message, sizeof message);
    return run.lines + std::string(message, length);
}

class FailureAgreementTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailureAgreementTest, LegacyEndsWithTheApisMessage)
{
    const std::string text = GetParam().expression;
    if (!SameBytesBothSides(text)) {
        GTEST_SKIP() << "the code page changes this text on the legacy side";
    }
    const ApiRun run = kelvaro_test::Evaluate(text);
    ASSERT_NE(run.outcome.status, KELVARO_RPN_OK);
    // The table's own lines and status, which the API's outcome gives too.
    ASSERT_EQ(ApiFailureOutput(text), GetParam().output);
    ASSERT_EQ(static_cast<int>(run.outcome.status), GetParam().status);
    const std::wstring wide = Widen(text);
    EXPECT_FATAL(CalculatorRPN(wide.c_str()), LegacyStatus(run.outcome.status),
                 GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Failures, FailureAgreementTest,
                         testing::ValuesIn(kelvaro_test::kFailures),
                         kelvaro_test::ExpressionName());

TEST(FailureAgreementTest, OverflowsAgree)
{
    for (const auto &c : kelvaro_test::OverflowCases()) {
        const std::wstring wide = Widen(c.expression);
        ASSERT_EQ(ApiFailureOutput(c.expression), c.output) << c.name;
        EXPECT_FATAL(CalculatorRPN(wide.c_str()), kelvaro_test::kOverflowStatus, c.output)
            << c.name;
    }
}

}  // namespace
