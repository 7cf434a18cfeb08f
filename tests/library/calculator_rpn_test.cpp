// CalculatorRPN as a host sees it: the returned text and the result line.
#include <kelvaro/calculator_rpn.h>

#include "support/case_name.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cwchar>
#include <string>

namespace {

using kelvaro_test::StdoutOf;

std::string Narrow(const wchar_t *text)
{
    std::string narrow;
    for (; *text != L'\0'; ++text) {
        narrow += static_cast<char>(*text);
    }
    return narrow;
}

struct Call {
    std::string output;
    std::wstring returned;
};

Call CallLibrary(const wchar_t *expression)
{
    Call call;
    call.output = StdoutOf([&] { call.returned = CalculatorRPN(expression); });
    return call;
}

struct HostCase {
    const wchar_t *expression;
    const char *text;  // returned, and printed on the result line
    const char *listing;
};

class CalculatorRPNTest : public testing::TestWithParam<HostCase> {};

TEST_P(CalculatorRPNTest, ReturnsAndPrintsTheResult)
{
    const Call call = CallLibrary(GetParam().expression);
    EXPECT_EQ(Narrow(call.returned.c_str()), GetParam().text);
    EXPECT_EQ(call.output,
              std::string(GetParam().listing) + "result = " + GetParam().text + "\n");
}

const HostCase kHostCases[] = {
    {L"3 4 +", "7.000000", ""},
    {L"3 4 + 2 *", "14.000000", ""},
    {L"2 3 /", "0.666667", ""},
    {L"1e3 1 +", "1001.000000", ""},
    {L"-2.5", "-2.500000", ""},
    {L"3 4", "4.000000", ""},
    {L"1 2 @", "2.000000", "\n---------\n2.000000\n1.000000\n---------\n"},
    {L"1 2 + #", "3.000000", "Top of stack: 3.000000\n"},
    {L"p", "3.141500", ""},
    {L"13 !", "1932053504.000000", ""},
    {L"1 0 /", "inf", ""},
    {L"-1 0 /", "-inf", ""},
    {L"0 0 /", "nan", ""},
    {L"0 0 / #", "nan", "Top of stack: nan\n"},
    {L"1e400", "inf", ""},
    {L"-1e-400", "-0.000000", ""},
    {L"3\t4 +", "7.000000", ""},
    {L"3 4 +\x00e9", "7.000000", ""},
};
INSTANTIATE_TEST_SUITE_P(Host, CalculatorRPNTest, testing::ValuesIn(kHostCases),
                         kelvaro_test::ExpressionName());

TEST(CalculatorRPNResultTest, PrintsTheLargestMagnitudesInFull)
{
    const Call call = CallLibrary(L"1.7976931348623157e308 -1 *");
    const std::string text = Narrow(call.returned.c_str());
    ASSERT_EQ(text.size(), 317u);
    EXPECT_EQ(text.substr(0, 10), "-179769313");
    EXPECT_EQ(text.substr(text.size() - 10), "368.000000");
    EXPECT_EQ(call.output, "result = " + text + "\n");
}

TEST(CalculatorRPNResultTest, ReturnsTheSameBufferEveryCall)
{
    std::wstring first;
    const std::string output = StdoutOf([&] {
        const wchar_t *a = CalculatorRPN(L"1e300 1e8 *");
        first = a;
        const wchar_t *b = CalculatorRPN(L"3 4 +");
        EXPECT_EQ(a, b);
        EXPECT_STREQ(a, L"7.000000");
    });
    EXPECT_EQ(first.size(), 316u);
    EXPECT_EQ(output.substr(output.size() - 19), "\nresult = 7.000000\n");
}

TEST(CalculatorRPNResultTest, StopsAtTheFirstNul)
{
    const std::wstring expression(L"3 4 +\0 ?", 8);
    EXPECT_EQ(CallLibrary(expression.c_str()).returned, L"7.000000");
}

std::wstring Repeat(const std::wstring &part, int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        text += part;
    }
    return text;
}

TEST(CalculatorRPNResultTest, EvaluatesLongExpressionsWhole)
{
    const std::wstring sum = L"0" + Repeat(L" 1 +", 150);  // 601 characters
    EXPECT_EQ(CallLibrary(sum.c_str()).returned, L"150.000000");

    const std::wstring full = Repeat(L"2 ", 265) + Repeat(L"+ ", 264);
    EXPECT_EQ(CallLibrary(full.c_str()).returned, L"530.000000");
}

TEST(CalculatorRPNResultTest, EvaluatesTextThatJustFillsTheWorkBuffer)
{
    // 255 and 256 characters: the last one that fits, and the first that does not.
    for (const int length : {254, 255, 256, 257}) {
        std::wstring expression = L"7";
        expression += std::wstring(static_cast<std::size_t>(length - 3), L' ');
        expression += L"9 ";
        ASSERT_EQ(expression.size(), static_cast<std::size_t>(length));
        EXPECT_EQ(CallLibrary(expression.c_str()).returned, L"9.000000") << length;
    }
}

}  // namespace
