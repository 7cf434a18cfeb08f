// rpn on a terminal: the session survives a mistake and points at it.
#include "host_case.h"
#include "terminal_session.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct SessionCase {
    const char *name;
    std::vector<std::string> arguments;
    std::vector<std::string> keystrokes;
    // Must appear on the terminal in this order; the terminal ends lines
    // with "\r\n".
    std::vector<std::string> screenInOrder;
    std::string err;
    std::size_t prompts;
};

void PrintTo(const SessionCase &sessionCase, std::ostream *os)
{
    *os << sessionCase.name;
}

class Interactive : public testing::TestWithParam<SessionCase> {
};

void ExpectInOrder(const std::string &screen, const std::vector<std::string> &pieces)
{
    std::size_t from = 0;
    for (const std::string &piece : pieces) {
        const std::size_t at = screen.find(piece, from);
        ASSERT_NE(at, std::string::npos) << "missing " << piece << " in\n" << screen;
        from = at + piece.size();
    }
}

TEST_P(Interactive, SessionGoesOnAfterMistakes)
{
    const SessionCase &sessionCase = GetParam();
    const TerminalSession session = RunOnTerminal(sessionCase.arguments, sessionCase.keystrokes);
    ASSERT_TRUE(session.answered) << session.screen;
    ExpectInOrder(session.screen, sessionCase.screenInOrder);
    EXPECT_EQ(PromptsShown(session.screen), sessionCase.prompts) << session.screen;
    EXPECT_EQ(session.err, sessionCase.err);
    EXPECT_EQ(session.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, Interactive,
    testing::Values(
        SessionCase{"ErrorThenGoodLine",
                    {},
                    {"3 4 ?\n", "3 4 +\n", "quit\n"},
                    {"rpn> ", "Invalid character: '?'\r\n", "rpn> ", "result = 7.000000\r\n", "rpn> "},
                    "rpn: -:1:5: invalid character '?'\n3 4 ?\n    ^\n",
                    3},
        SessionCase{"UnderflowThenListingThenCtrlD",
                    {},
                    {"5 - 3\n", "1 2 @\n", "\x04"},
                    {"you have a stack underflow!\r\n", "rpn> ",
                     "\r\n---------\r\n2.000000\r\n1.000000\r\n---------\r\nresult = 2.000000\r\n", "rpn> "},
                    "rpn: -:1:3: stack underflow\n5 - 3\n  ^\n",
                    3},
        SessionCase{"OverflowStatus",
                    {},
                    {Pushes(266) + "\n", "p\n", "exit\n"},
                    {"you have a stack overflow!\r\n", "rpn> ", "result = 3.141500\r\n"},
                    "rpn: -:1:531: stack overflow\n" + Pushes(266) + "\n" + std::string(530, ' ') + "^\n",
                    3},
        SessionCase{"EmptyLinesAreSkipped",
                    {},
                    {"\n", "1\n", "  quit  \n"},
                    {"rpn> ", "rpn> ", "result = 1.000000\r\n", "rpn> "},
                    "",
                    3},
        // Ctrl-C abandons the line: "3 4 ?" never runs.
        SessionCase{"CtrlCAbandonsTheLine",
                    {},
                    {"3 4 ?\x03", "1 2 +\n", "quit\n"},
                    {"rpn> ", "rpn> ", "result = 3.000000\r\n", "rpn> "},
                    "",
                    3},
        // A tab separates tokens; it must not start file name completion.
        SessionCase{"TabSeparates", {}, {"3\t4 +\n", "quit\n"}, {"result = 7.000000\r\n"}, "", 2},
        SessionCase{"QuietKeepsOnlyValuesOnStandardOutput",
                    {"-q"},
                    {"3 4 +\n", "3 ?\n", "quit\n"},
                    {"rpn> ", "\r\n7.000000\r\n", "rpn> "},
                    "Invalid character: '?'\nrpn: -:2:3: invalid character '?'\n3 ?\n  ^\n",
                    3},
        // Lines count from the start of the session, empty ones included;
        // the caret skips the bytes that continue a UTF-8 character and
        // keeps tabs, so that it lines up under the failing byte.
        SessionCase{"CaretUnderTheFailingByte",
                    {},
                    {"\n", "1\xC3\xA9\t?\n", "quit\n"},
                    {"Invalid character: '?'\r\n"},
                    "rpn: -:2:2: warning: '\\xc3\\xa9' after the number 1 is skipped (a number ends at its last digit)\n"
                    "rpn: -:2:5: invalid character '?'\n1\xC3\xA9\t?\n  \t^\n",
                    3},
        SessionCase{"KeepStackAcrossLines",
                    {"-s"},
                    {"1 2\n", "+\n", "3 ?\n", "@\n", "x\n", "quit\n"},
                    {"result = 2.000000\r\n", "result = 3.000000\r\n", "Invalid character: '?'\r\n",
                     "\r\n---------\r\n3.000000\r\n---------\r\nresult = 3.000000\r\n", "stack empty\r\n"},
                    "rpn: -:3:3: invalid character '?'\n3 ?\n  ^\n",
                    6}),
    [](const testing::TestParamInfo<SessionCase> &info) { return std::string(info.param.name); });

std::size_t Count(const std::string &text, const std::string &piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

TEST(InteractiveHistory, UpArrowRecallsThePreviousLine)
{
    const TerminalSession session = RunOnTerminal({}, {"1 2 +\n", "\x1b[A\n", "quit\n"}, "xterm");
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(Count(session.screen, "result = 3.000000"), 2u) << session.screen;
    EXPECT_EQ(session.err, "");
    EXPECT_EQ(session.status, 0);
}

struct CompletionCase {
    const char *name;
    std::vector<std::string> keystrokes;
    std::vector<std::string> screenInOrder;
    std::size_t prompts;
};

void PrintTo(const CompletionCase &completionCase, std::ostream *os)
{
    *os << completionCase.name;
}

class TabCompletion : public testing::TestWithParam<CompletionCase> {
};

// Tab finishes a command word typed alone; anywhere else it stays a tab,
// which separates tokens.
TEST_P(TabCompletion, FinishesOnlyAPromptCommand)
{
    const CompletionCase &completionCase = GetParam();
    const TerminalSession session = RunOnTerminal({}, completionCase.keystrokes, "xterm");
    ASSERT_TRUE(session.answered) << session.screen;
    ExpectInOrder(session.screen, completionCase.screenInOrder);
    EXPECT_EQ(PromptsShown(session.screen), completionCase.prompts) << session.screen;
    EXPECT_EQ(session.err, "");
    EXPECT_EQ(session.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Words, TabCompletion,
    testing::Values(
        CompletionCase{"Stack", {"1 2\n", "  st\t\n", "quit\n"}, {"ack", "  2: 1.000000\r\n  1: 2.000000\r\n"}, 3},
        CompletionCase{"Quit", {"q\t\n"}, {"uit"}, 1},
        CompletionCase{"Undo", {"1\n", "2\n", "u\t\n", "quit\n"}, {"stack: 1.000000 2.000000", "stack: 1.000000\r\n"}, 4},
        CompletionCase{"WholeWordStays", {"help\t\n", "quit\n"}, {"undo"}, 2},
        // After a number, or before more text, a tab is a separator.
        CompletionCase{"InAnExpression", {"3 s\t\n", "quit\n"}, {"result = 0.141120"}, 2},
        CompletionCase{"NoWordStartsSo", {"3\t4 +\n", "quit\n"}, {"result = 7.000000\r\n"}, 2}),
    [](const testing::TestParamInfo<CompletionCase> &info) { return std::string(info.param.name); });

}  // namespace
