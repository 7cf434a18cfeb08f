// -q on a terminal: each value shows once, as the value alone, whether or
// not standard output is the terminal too (one pipe for both:
// files_test.cpp).
#include "terminal_session.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct ScreenCase {
    const char *name;
    std::vector<std::string> arguments;
    // The whole terminal, which ends lines with "\r\n".
    std::string screen;
    int status;
    // Standard output goes to a pipe and must get this.
    bool redirectOutput = false;
    std::string out{};
};

void PrintTo(const ScreenCase &screenCase, std::ostream *os)
{
    *os << screenCase.name;
}

class QuietOnOneTerminal : public testing::TestWithParam<ScreenCase> {
};

TEST_P(QuietOnOneTerminal, ShowsEachValueOnce)
{
    const ScreenCase &screenCase = GetParam();
    TerminalSetup setup;
    setup.arguments = screenCase.arguments;
    setup.errorOnTerminal = true;
    setup.redirectOutput = screenCase.redirectOutput;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.screen, screenCase.screen);
    EXPECT_EQ(session.out, screenCase.out);
    EXPECT_EQ(session.status, screenCase.status);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, QuietOnOneTerminal,
    testing::Values(
        ScreenCase{"Values", {"-q", "3 4 +", "2 L"}, "7.000000\r\n7.389056\r\n", 0},
        // Listings and warnings are no value: they stay.
        ScreenCase{"ListingAndWarningStay",
                   {"-q", "1 2 @"},
                   "rpn: argument 2:6: warning: 1 value is left below the result\r\n"
                   "\r\n---------\r\n2.000000\r\n1.000000\r\n---------\r\n2.000000\r\n",
                   0},
        ScreenCase{"FailureKeepsItsMessageAndLine",
                   {"-q", "-k", "3 ?", "1"},
                   "Invalid character: '?'\r\nrpn: argument 3:3: invalid character '?'\r\n\r\n1.000000\r\n",
                   1},
        ScreenCase{"EmptyKeptStack", {"-q", "-s", "1", "x"}, "1.000000\r\n\r\n", 0},
        ScreenCase{"WithoutQuietTheLibrarysLines", {"3 4 +"}, "result = 7.000000\r\n", 0},
        // As in x=$(rpn -q '2 10 ^'): the value goes where it was sent and
        // nothing shows on the terminal; what was asked for (@) and
        // failures still do.
        ScreenCase{"OutputRedirected", {"-q", "3 4 +"}, "", 0, true, "7.000000\n"},
        ScreenCase{"OutputRedirectedStillFails",
                   {"-q", "-k", "1 2 @", "3 ?"},
                   "rpn: argument 3:6: warning: 1 value is left below the result\r\n"
                   "\r\n---------\r\n2.000000\r\n1.000000\r\n---------\r\n"
                   "Invalid character: '?'\r\nrpn: argument 4:3: invalid character '?'\r\n",
                   1, true, "2.000000\n\n"}),
    [](const testing::TestParamInfo<ScreenCase> &info) { return std::string(info.param.name); });

#if RPN_LINE_EDITING
TEST(QuietOnOneTerminalPrompt, ShowsEachValueOnce)
{
    TerminalSetup setup;
    setup.arguments = {"-q"};
    setup.keystrokes = {"3 4 +\n", "2 L\n", "quit\n"};
    setup.errorOnTerminal = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.screen.find("result = "), std::string::npos) << session.screen;
    EXPECT_NE(session.screen.find("3 4 +\r\n7.000000\r\n"), std::string::npos) << session.screen;
    EXPECT_NE(session.screen.find("2 L\r\n7.389056\r\n"), std::string::npos) << session.screen;
    EXPECT_EQ(session.status, 0);
}
#endif

}  // namespace
