// The legacy path of a failure: the listings, the message on standard output,
// and the end of the process with the contract's status.
#include "export/legacy_run.h"
#include "support/case_name.h"
#include "support/expression_tables.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using kelvaro_test::FailureCase;

void EvaluateOrStop(const std::string &expression)
{
    char line[kelvaro::kMaxLineLength];
    std::size_t length = 0;
    kelvaro::EvaluateOrStop(expression.data(), expression.size(), line, length);
}

int LegacyStatus(int status)
{
    return status == kelvaro_test::kStackOverflow ? kelvaro_test::kOverflowStatus
                                             : kelvaro_test::kFailureStatus;
}

class FatalPathTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FatalPathTest, PrintsTheMessageAndEndsTheProcess)
{
    EXPECT_FATAL(EvaluateOrStop(GetParam().expression), LegacyStatus(GetParam().status),
                 GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(Failures, FatalPathTest, testing::ValuesIn(kelvaro_test::kFailures),
                         kelvaro_test::ExpressionName());

TEST(StackBoundTest, OverflowsEndWithStatusMinusOne)
{
    for (const auto &c : kelvaro_test::OverflowCases()) {
        EXPECT_FATAL(EvaluateOrStop(c.expression), kelvaro_test::kOverflowStatus, c.output)
            << c.name;
    }
}

TEST(LegacyRunTest, SuccessWritesTheResultLineAndKeepsIt)
{
    std::string written;
    char line[kelvaro::kMaxLineLength];
    std::size_t length = 0;
    const kelvaro::Outcome outcome = kelvaro::RunLegacy(
        "1 2 # +", 7,
        [](void *context, const char *text, std::size_t size) {
            static_cast<std::string *>(context)->append(text, size);
        },
        &written, line, length);
    EXPECT_EQ(outcome.status, kelvaro::Status::kOk);
    EXPECT_EQ(written, "Top of stack: 2.000000\nresult = 3.000000\n");
    EXPECT_EQ(std::string(line, length), "result = 3.000000\n");
}

}  // namespace
