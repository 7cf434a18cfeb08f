// rpn without libedit on a terminal: the terminal's line discipline edits
// the line, and a line with an editing key it cannot edit with is refused,
// never evaluated with an escape byte in it. Piped lines are read as they
// are.
#include "host_case.h"
#include "terminal_session.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr char kRefusal[] =
    "rpn: line not evaluated: it holds an arrow or another editing key, and this rpn "
    "has no line editing (built without libedit); Backspace, Ctrl-U and Ctrl-W edit\r\n";

struct TypedLineCase {
    const char *name;
    std::string keys;
    // What the terminal shows for them, up to the line end.
    std::string echo;
    // The result line, or "" when the line is refused.
    std::string result;
};

void PrintTo(const TypedLineCase &typedCase, std::ostream *os)
{
    *os << typedCase.name;
}

class PlainReader : public testing::TestWithParam<TypedLineCase> {
};

// After the line, "1 2 +" shows that the session goes on with nothing left
// over from it.
TEST_P(PlainReader, EvaluatesWhatIsShownOrRefuses)
{
    const TypedLineCase &typedCase = GetParam();
    const TerminalSession session = RunOnTerminal({}, {typedCase.keys, "1 2 +\n", "quit\n"});
    ASSERT_TRUE(session.answered) << session.screen;
    const std::string shown = "rpn> " + typedCase.echo + "\r\n";
    const std::size_t at = session.screen.find(shown);
    ASSERT_NE(at, std::string::npos) << session.screen;
    const std::string answer = typedCase.result.empty() ? kRefusal : typedCase.result + "\r\n";
    EXPECT_EQ(session.screen.compare(at + shown.size(), answer.size(), answer), 0) << session.screen;
    EXPECT_NE(session.screen.find("rpn> 1 2 +\r\nresult = 3.000000\r\n"), std::string::npos) << session.screen;
    // Nothing evaluated failed or was skipped: no escape byte reached the
    // evaluator.
    EXPECT_EQ(session.err, "");
    EXPECT_EQ(session.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlainReader,
    testing::Values(
        TypedLineCase{"UpArrow", "\x1b[A\n", "^[[A", ""},
        TypedLineCase{"LeftArrowThenAKey", "5 6\x1b[D7\n", "5 6^[[D7", ""},
        // Backspace takes back the last byte of the sequence only.
        TypedLineCase{"LeftArrowBackspaceAndAKey", "5 6\x1b[D\x7f" "7\n", "5 6^[[D\b \b7", ""},
        TypedLineCase{"RightArrow", "1\x1b[C +\n", "1^[[C +", ""},
        TypedLineCase{"HomeKey", "\x1bOH2\n", "^[OH2", ""},
        TypedLineCase{"DeleteKey", "3\x1b[3~\n", "3^[[3~", ""},
        TypedLineCase{"EscapeAlone", "4\x1b\n", "4^[", ""},
        TypedLineCase{"BackspaceEdits", "5 6\x7f" "7 +\n", "5 6\b \b7 +", "result = 12.000000"},
        TypedLineCase{"CtrlUTakesBackTheLine", "9 9\x15" "2 3 *\n", "9 9\b \b\b \b\b \b2 3 *", "result = 6.000000"},
        TypedLineCase{"CtrlWTakesBackAWord", "4 xyz\x17" "4 *\n", "4 xyz\b \b\b \b\b \b4 *", "result = 16.000000"}),
    [](const testing::TestParamInfo<TypedLineCase> &info) { return std::string(info.param.name); });

// A refused line is not a line of the session: the next one is line 1.
TEST(PlainReader, RefusedLineIsNotCounted)
{
    const TerminalSession session = RunOnTerminal({}, {"\x1b[B\n", "3 ?\n", "quit\n"});
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_NE(session.screen.find(kRefusal), std::string::npos) << session.screen;
    EXPECT_EQ(session.err, "rpn: -:1:3: invalid character '?'\n3 ?\n  ^\n");
}

// Not a terminal: every byte is the evaluator's, an escape byte too.
const HostCase kPipedEscapes[] = {
    {"ArrowInALine",
     {},
     "5 6\x1b[D7\n",
     "result = 6.000000\n",
     "rpn: -:1:4: warning: '\\x1b[D7' after the number 6 is skipped (a number ends at its last digit)\n"
     "rpn: -:1:8: warning: 1 value is left below the result\n",
     0},
    {"ArrowAlone",
     {},
     "\x1b[A\n",
     "Invalid character: '\x1b'\n",
     "rpn: -:1:2: warning: '[A' after '\\x1b' is skipped (only a token's first byte counts)\n"
     "rpn: -:1:1: invalid character '\\x1b'\n",
     1},
};

class PipedEscapes : public testing::TestWithParam<HostCase> {
};

TEST_P(PipedEscapes, ReachTheEvaluator)
{
    ExpectRunMatches(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Lines, PipedEscapes, testing::ValuesIn(kPipedEscapes), CaseName);

}  // namespace
