// What happens to the host process: fatal stops, its own output, its locale.
#include <kelvaro/calculator_rpn.h>

#include "support/case_name.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using kelvaro_test::kFailureStatus;
using kelvaro_test::kOverflow;
using kelvaro_test::kOverflowStatus;
using kelvaro_test::kUnderflow;
using kelvaro_test::StdoutOf;

struct FatalCall {
    const wchar_t *expression;
    const char *output;
    int status;
};

class HostFatalTest : public testing::TestWithParam<FatalCall> {};

TEST_P(HostFatalTest, EndsTheHostWithTheMessage)
{
    EXPECT_FATAL(CalculatorRPN(GetParam().expression), GetParam().status, GetParam().output);
}

const FatalCall kFatalCalls[] = {
    {L"3 4 ?", "Invalid character: '?'\n", kFailureStatus},
    {L".5", "Invalid character: '.'\n", kFailureStatus},
    {L"5 - 3", kUnderflow, kFailureStatus},
    {L"", kUnderflow, kFailureStatus},
    {L" \t", "Invalid character: '\t'\n", kFailureStatus},
    {L"1 x", kUnderflow, kFailureStatus},
    {L"#", kUnderflow, kFailureStatus},
    {nullptr, kUnderflow, kFailureStatus},
    {L"1 2 @ +  +", "\n---------\n2.000000\n1.000000\n---------\n" "you have a stack underflow!\n",
     kFailureStatus},
};
INSTANTIATE_TEST_SUITE_P(Fatal, HostFatalTest, testing::ValuesIn(kFatalCalls),
                         kelvaro_test::ExpressionName());

#if !defined(_WIN32)
// Where wchar_t holds code points, U+0001..U+00FF keep their byte value and
// everything else becomes '?'.
const FatalCall kConversions[] = {
    {L"3 \x00e9", "Invalid character: '\xe9'\n", kFailureStatus},
    {L"3 \x0080", "Invalid character: '\x80'\n", kFailureStatus},
    {L"3 \x00ff", "Invalid character: '\xff'\n", kFailureStatus},
    {L"3 \x0100", "Invalid character: '?'\n", kFailureStatus},
    {L"3 \x20ac", "Invalid character: '?'\n", kFailureStatus},
    {L"3 \U0001F600", "Invalid character: '?'\n", kFailureStatus},
    {L"\x0131 4", "Invalid character: '?'\n", kFailureStatus},
};
INSTANTIATE_TEST_SUITE_P(Conversion, HostFatalTest, testing::ValuesIn(kConversions),
                         kelvaro_test::ExpressionName());
#endif

std::wstring Pushes(int count)
{
    std::wstring expression;
    for (int i = 0; i < count; ++i) {
        expression += L"1 ";
    }
    return expression;
}

TEST(HostStackBoundTest, The266thPushEndsTheHost)
{
    const std::wstring full = Pushes(265);
    EXPECT_EQ(StdoutOf([&] { CalculatorRPN(full.c_str()); }), "result = 1.000000\n");
    const std::wstring over = Pushes(266);
    EXPECT_FATAL(CalculatorRPN(over.c_str()), kOverflowStatus, kOverflow);
}

TEST(HostStackBoundTest, AFailedCallLeavesNoValuesForTheNext)
{
    // Each call starts with an empty stack, even after an earlier call left
    // values below its result.
    EXPECT_FATAL(
        {
            CalculatorRPN(L"1 2 3");
            CalculatorRPN(L"+");
        },
        kFailureStatus, "result = 3.000000\n" + std::string(kUnderflow));
}

void SayExitHandlerRan()
{
    std::fputs("exit handler ran\n", stdout);
}

TEST(HostProcessTest, FlushesTheHostsOutputAndSkipsItsExitHandlers)
{
    EXPECT_FATAL(
        {
            std::atexit(SayExitHandlerRan);
            std::fputs("host says ", stdout);
            CalculatorRPN(L"3 4 +");
            std::fputs("buffered", stdout);
            CalculatorRPN(L"9 ?");
        },
        kFailureStatus, "host says result = 7.000000\nbufferedInvalid character: '?'\n");
}

TEST(HostProcessTest, ReadsAndWritesPointsInADecimalCommaLocale)
{
    const char *const locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"};
    const char *chosen = nullptr;
    for (const char *name : locales) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const bool usesComma = std::localeconv()->decimal_point[0] == ',';
    std::wstring returned;
    const std::string output = StdoutOf([&] { returned = CalculatorRPN(L"2.5 1.25 + #"); });
    std::setlocale(LC_ALL, "C");
    ASSERT_TRUE(usesComma) << chosen;
    EXPECT_EQ(returned, L"3.750000");
    EXPECT_EQ(output, "Top of stack: 3.750000\nresult = 3.750000\n");
}

#if !defined(_WIN32)
// Standard output opened afresh and made wide-oriented, as a host that calls
// wprintf first has it.
void MakeStdoutWide()
{
    ASSERT_NE(std::freopen(nullptr, "w", stdout), nullptr);
    ASSERT_GT(std::fwide(stdout, 1), 0);
}

TEST(WideHostTest, LinesReachAWideStandardOutput)
{
    EXPECT_FATAL(
        {
            MakeStdoutWide();
            std::wprintf(L"host: ");
            CalculatorRPN(L"1 2 # @ +");
            std::wprintf(L"again\n");
            CalculatorRPN(L"3 \x00e9");
        },
        kFailureStatus,
        "host: Top of stack: 2.000000\n\n---------\n2.000000\n1.000000\n---------\n"
        "result = 3.000000\nagain\nInvalid character: '?'\n");
}

TEST(WideHostTest, FatalMessageReachesAWideStandardOutput)
{
    EXPECT_FATAL(
        {
            MakeStdoutWide();
            CalculatorRPN(L"1 +");
        },
        kFailureStatus, kUnderflow);
}
#endif

}  // namespace
