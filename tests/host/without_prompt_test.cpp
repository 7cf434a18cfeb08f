// rpn built without libedit (Windows, a cross build) has no prompt: at a
// terminal it reads the lines typed as it reads piped ones.
#include "terminal_session.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// A line typed and what the terminal shows after its echo.
struct Step {
    const char *keys;
    const char *answer;
};

struct TypedCase {
    const char *name;
    const char *options;
    std::vector<Step> steps;  // each typed once the one before was answered
    const char *endedWith;    // "rpn ended with N"
};

void PrintTo(const TypedCase &typedCase, std::ostream *os)
{
    *os << typedCase.name;
}

class WithoutPrompt : public testing::TestWithParam<TypedCase> {
};

TEST_P(WithoutPrompt, AnswersEachLineTyped)
{
    const TypedCase &typedCase = GetParam();
    TerminalDriver driver(std::string("\"$RPN\" ") + typedCase.options + "; echo \"rpn ended with $?\"");
    ASSERT_TRUE(driver.AwaitReading());
    for (const Step &step : typedCase.steps) {
        ASSERT_TRUE(driver.Type(step.keys));
        ASSERT_TRUE(driver.AwaitScreen(step.answer)) << step.keys;
    }
    const TerminalSession session = driver.Finish();
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.screen.find("rpn> "), std::string::npos) << session.screen;
    EXPECT_NE(session.screen.find(std::string(typedCase.endedWith) + "\r\n"), std::string::npos) << session.screen;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WithoutPrompt,
    testing::Values(
        // Ctrl-D at the start of a line ends the input.
        TypedCase{"EndOfInput",
                  "",
                  {{"3 4 +\n", "\r\nresult = 7.000000\r\n"}, {"2 10 ^\n", "\r\nresult = 1024.000000\r\n"}, {"\x04", ""}},
                  "rpn ended with 0"},
        // The first failure ends rpn, as in a pipe; "quit" is no word here.
        TypedCase{"FailureEndsIt",
                  "",
                  {{"3 ?\n", "\r\nInvalid character: '?'\r\nrpn: -:1:3: invalid character '?'\r\n"}},
                  "rpn ended with 1"},
        TypedCase{"QuitIsAnExpression", "", {{"quit\n", "\r\nInvalid character: 'q'\r\n"}}, "rpn ended with 1"},
        // -k -s: a desk calculator of sorts, each line answered.
        TypedCase{"KeptStack",
                  "-k -s",
                  {{"3 4\n", "\r\nresult = 4.000000\r\n"},
                   {"+\n", "\r\nresult = 7.000000\r\n"},
                   {"?\n", "\r\nInvalid character: '?'\r\n"},
                   {"2 *\n", "\r\nresult = 14.000000\r\n"},
                   {"\x04", ""}},
                  "rpn ended with 1"}),
    [](const testing::TestParamInfo<TypedCase> &info) { return std::string(info.param.name); });

}  // namespace
