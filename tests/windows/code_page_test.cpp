// CalculatorRPN converts the host's text in the system's default code page
// (no flags, the code page's own replacement and best-fit rules). Each suite
// needs its code page: wine takes it from the Unix locale, so the build runs
// this program once under a Western locale and once under a Japanese one.
#include <kelvaro/calculator_rpn.h>

#include "support/case_name.h"
#include "support/fatal.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using kelvaro_test::kFailureStatus;
using kelvaro_test::StdoutOf;

struct FatalCall {
    const wchar_t *expression;
    const char *output;
};

struct ResultCall {
    const wchar_t *expression;
    const wchar_t *returned;
};

void RequireCodePage(UINT codePage)
{
    if (GetACP() != codePage) {
        GTEST_SKIP() << "the default code page is " << GetACP() << ", not " << codePage;
    }
}

std::wstring ResultOf(const wchar_t *expression)
{
    std::wstring returned;
    const std::string output = StdoutOf([&] { returned = CalculatorRPN(expression); });
    std::string line = "result = ";
    for (const wchar_t c : returned) {
        line += static_cast<char>(c);
    }
    EXPECT_EQ(output, line + "\n");
    return returned;
}

class CodePage1252FatalTest : public testing::TestWithParam<FatalCall> {};

TEST_P(CodePage1252FatalTest, ReportsTheConvertedByte)
{
    RequireCodePage(1252);
    EXPECT_FATAL(CalculatorRPN(GetParam().expression), kFailureStatus, GetParam().output);
}

const FatalCall kWestern[] = {
    {L"3 \x00e9", "Invalid character: '\xe9'\n"},
    {L"3 \x00ff", "Invalid character: '\xff'\n"},
    {L"3 \x20ac", "Invalid character: '\x80'\n"},  // the euro sign's byte
    {L"3 \x0100", "Invalid character: 'A'\n"},     // best fit
    {L"\x0131 4", "Invalid character: 'i'\n"},     // best fit
    {L"3 \x4e00", "Invalid character: '?'\n"},     // not in the code page
    {L"3 \xd83d\xde00", "Invalid character: '?'\n"},  // a surrogate pair
};
INSTANTIATE_TEST_SUITE_P(Western, CodePage1252FatalTest, testing::ValuesIn(kWestern),
                         kelvaro_test::ExpressionName());

class CodePage1252ResultTest : public testing::TestWithParam<ResultCall> {};

TEST_P(CodePage1252ResultTest, SkipsConvertedBytesInsideTokens)
{
    RequireCodePage(1252);
    EXPECT_EQ(ResultOf(GetParam().expression), GetParam().returned);
}

const ResultCall kWesternResults[] = {
    {L"3 4 +\x00e9", L"7.000000"},
    {L"1 2 +\x20ac\x4e00 4 *", L"12.000000"},
    {L"2\x00a0 3 *", L"6.000000"},
};
INSTANTIATE_TEST_SUITE_P(Western, CodePage1252ResultTest, testing::ValuesIn(kWesternResults),
                         kelvaro_test::ExpressionName());

// Shift-JIS: many characters take two bytes, so the 8-bit text is longer
// than the wide one.
class CodePage932FatalTest : public testing::TestWithParam<FatalCall> {};

TEST_P(CodePage932FatalTest, ReportsTheLeadByte)
{
    RequireCodePage(932);
    EXPECT_FATAL(CalculatorRPN(GetParam().expression), kFailureStatus, GetParam().output);
}

const FatalCall kJapanese[] = {
    {L"3 \x3042", "Invalid character: '\x82'\n"},  // 82 A0
    {L"3 \x4e00", "Invalid character: '\x88'\n"},  // 88 EA
    {L"3 \x00e9", "Invalid character: 'e'\n"},     // best fit
    {L"3 \x20ac", "Invalid character: '?'\n"},     // not in the code page
};
INSTANTIATE_TEST_SUITE_P(Japanese, CodePage932FatalTest, testing::ValuesIn(kJapanese),
                         kelvaro_test::ExpressionName());

TEST(CodePage932ResultTest, ConvertsTextWhose8BitFormOutgrowsTheWideOne)
{
    RequireCodePage(932);
    // 210 wide characters, 410 bytes: the two-byte characters follow '+'
    // directly, so every one of their bytes is skipped.
    const std::wstring expression = L"1 2 +" + std::wstring(200, L'\x3042') + L" 4 *";
    EXPECT_EQ(ResultOf(expression.c_str()), L"12.000000");

    // The ideographic space is 81 40: its '@' byte is skipped like the lead
    // byte before it, and it separates nothing.
    EXPECT_EQ(ResultOf(L"6 3 /\x3000 2 *"), L"4.000000");
    EXPECT_EQ(ResultOf(L"6\x3000 3"), L"3.000000");
}

}  // namespace
