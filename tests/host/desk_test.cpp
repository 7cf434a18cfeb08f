// The prompt as a desk calculator: the stack kept from line to line and
// shown after each one, and the prompt's words that clear, undo, redo and
// show it. Standard output goes to a pipe, so the terminal shows only the
// prompt's own lines and the keys typed.
#include "host_case.h"
#include "terminal_session.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct DeskCase {
    const char *name;
    std::vector<std::string> arguments;
    // "quit\n" follows the last.
    std::vector<std::string> keystrokes;
    // Must appear on the terminal in this order; it ends lines with "\r\n".
    std::vector<std::string> screenInOrder;
    std::string out;
    std::string err;
};

void PrintTo(const DeskCase &deskCase, std::ostream *os)
{
    *os << deskCase.name;
}

class Desk : public testing::TestWithParam<DeskCase> {
};

TEST_P(Desk, KeepsAndShowsTheStack)
{
    const DeskCase &deskCase = GetParam();
    TerminalSetup setup;
    setup.arguments = deskCase.arguments;
    setup.keystrokes = deskCase.keystrokes;
    setup.keystrokes.emplace_back("quit\n");
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    std::size_t from = 0;
    for (const std::string &piece : deskCase.screenInOrder) {
        const std::size_t at = session.screen.find(piece, from);
        ASSERT_NE(at, std::string::npos) << "missing " << piece << " after " << from << " in\n"
                                         << session.screen;
        from = at + piece.size();
    }
    EXPECT_EQ(session.out, deskCase.out);
    EXPECT_EQ(session.err, deskCase.err);
    EXPECT_EQ(session.status, 0);
}

const std::string kOneTwoListing = kListingOfOneTwo;

INSTANTIATE_TEST_SUITE_P(
    Lines, Desk,
    testing::Values(
        DeskCase{"StackStaysFromLineToLine",
                 {},
                 {"3 4\n", "+\n", "2 *\n"},
                 {"3 4\r\nstack: 3.000000 4.000000\r\nrpn> ", "+\r\nstack: 7.000000\r\nrpn> ",
                  "2 *\r\nstack: 14.000000\r\nrpn> "},
                 "result = 4.000000\nresult = 7.000000\nresult = 14.000000\n",
                 ""},
        // The failed line leaves the stack as it was, and says so.
        DeskCase{"FailureLeavesTheStack",
                 {},
                 {"1 2\n", "3 ?\n", "+\n"},
                 {"stack: 1.000000 2.000000\r\n", "3 ?\r\nstack: 1.000000 2.000000\r\n", "stack: 3.000000\r\n"},
                 "result = 2.000000\nInvalid character: '?'\nresult = 3.000000\n",
                 "rpn: -:2:3: invalid character '?'\n3 ?\n  ^\n"},
        DeskCase{"ExpressionThatEmptiesIt",
                 {},
                 {"1\n", "x\n"},
                 {"stack: 1.000000\r\n", "x\r\nstack: empty\r\n"},
                 "result = 1.000000\nstack empty\n",
                 ""},
        DeskCase{"ClearEmptiesIt",
                 {},
                 {"1 2\n", "clear\n", "+\n"},
                 {"stack: 1.000000 2.000000\r\n", "clear\r\nstack: empty\r\nrpn> ", "+\r\nstack: empty\r\n"},
                 "result = 2.000000\nyou have a stack underflow!\n",
                 "rpn: -:3:1: stack underflow\n+\n^\n"},
        DeskCase{"UndoGoesBackLineByLine",
                 {},
                 {"1\n", "2\n", "+\n", "undo\n", "undo\n", "undo\n", "undo\n"},
                 {"stack: 3.000000\r\n", "undo\r\nstack: 1.000000 2.000000\r\n", "undo\r\nstack: 1.000000\r\n",
                  "undo\r\nstack: empty\r\n", "undo\r\nnothing to undo\r\nstack: empty\r\n"},
                 "result = 1.000000\nresult = 2.000000\nresult = 3.000000\n",
                 ""},
        // A failed line, a listing and a push dropped again leave the stack
        // as it was: undo goes back past them to before "1 2".
        DeskCase{"LinesThatChangeNothingAreSkipped",
                 {},
                 {"1 2\n", "3 ?\n", "@\n", "5 x\n", "undo\n"},
                 {"5 x\r\nstack: 1.000000 2.000000\r\n", "undo\r\nstack: empty\r\n"},
                 "result = 2.000000\nInvalid character: '?'\n" + kOneTwoListing +
                     "result = 2.000000\nresult = 2.000000\n",
                 "rpn: -:2:3: invalid character '?'\n3 ?\n  ^\n"},
        DeskCase{"ClearIsUndone",
                 {},
                 {"1 2\n", "clear\n", "undo\n", "+\n"},
                 {"clear\r\nstack: empty\r\n", "undo\r\nstack: 1.000000 2.000000\r\n", "stack: 3.000000\r\n"},
                 "result = 2.000000\nresult = 3.000000\n",
                 ""},
        DeskCase{"ClearOfAnEmptyStackIsNoChange",
                 {},
                 {"1\n", "x\n", "clear\n", "undo\n"},
                 {"clear\r\nstack: empty\r\n", "undo\r\nstack: 1.000000\r\n"},
                 "result = 1.000000\nstack empty\n",
                 ""},
        DeskCase{"RedoTakesBackAnUndo",
                 {},
                 {"1 2 +\n", "undo\n", "redo\n", "5 *\n", "redo\n"},
                 {"undo\r\nstack: empty\r\n", "redo\r\nstack: 3.000000\r\n", "5 *\r\nstack: 15.000000\r\n",
                  "redo\r\nnothing to redo\r\nstack: 15.000000\r\n"},
                 "result = 3.000000\nresult = 15.000000\n",
                 ""},
        // Redo goes forward only along the undos just made.
        DeskCase{"NewLineEndsRedo",
                 {},
                 {"1\n", "2\n", "undo\n", "3\n", "redo\n", "undo\n"},
                 {"undo\r\nstack: 1.000000\r\n", "3\r\nstack: 1.000000 3.000000\r\n",
                  "redo\r\nnothing to redo\r\nstack: 1.000000 3.000000\r\n", "undo\r\nstack: 1.000000\r\n"},
                 "result = 1.000000\nresult = 2.000000\nresult = 3.000000\n",
                 ""},
        DeskCase{"StackShowsEveryValueTheTopLast",
                 {},
                 {"1 2 3 4 5 6 7 8 9 10\n", "stack\n"},
                 {"stack\r\n  10: 1.000000\r\n   9: 2.000000\r\n", "   2: 9.000000\r\n   1: 10.000000\r\nrpn> "},
                 "result = 10.000000\n",
                 ""},
        DeskCase{"StackOfNothing", {}, {"stack\n"}, {"stack\r\nstack: empty\r\nrpn> "}, "", ""},
        // Only the word alone is a command; 'c' takes a cosine, 'u' is no
        // command at all.
        DeskCase{"WordsWithMoreAreExpressions",
                 {},
                 {"5\n", "clear 1\n", "undo2\n", " \tclear \n"},
                 {"clear 1\r\nstack: 0.283662 1.000000\r\n", "undo2\r\nstack: 0.283662 1.000000\r\n",
                  "clear \r\nstack: empty\r\n"},
                 "result = 5.000000\nresult = 1.000000\nInvalid character: 'u'\n",
                 "rpn: -:2:2: warning: 'lear' after 'c' is skipped (only a token's first byte counts)\n"
                 "rpn: -:3:2: warning: 'ndo2' after 'u' is skipped (only a token's first byte counts)\n"
                 "rpn: -:3:1: invalid character 'u'\nundo2\n^\n"},
        DeskCase{"DecimalsOnTheStackLine",
                 {"-d", "2"},
                 {"0.5 1\n", "stack\n"},
                 {"stack: 0.50 1.00\r\n", "  2: 0.50\r\n  1: 1.00\r\n"},
                 "result = 1.00\n",
                 ""},
        DeskCase{"ShortestOnTheStackLine",
                 {"--shortest"},
                 {"0.1 0.2 +\n", "stack\n"},
                 {"stack: 0.30000000000000004\r\n", "  1: 0.30000000000000004\r\n"},
                 "result = 0.30000000000000004\n",
                 ""},
        DeskCase{"QuietKeepsTheStackToo",
                 {"-q"},
                 {"1 2\n", "+\n", "undo\n"},
                 {"stack: 1.000000 2.000000\r\n", "stack: 3.000000\r\n", "undo\r\nstack: 1.000000 2.000000\r\n"},
                 "2.000000\n3.000000\n",
                 ""}),
    [](const testing::TestParamInfo<DeskCase> &info) { return std::string(info.param.name); });

struct WidthCase {
    const char *name;
    unsigned short columns;
    std::string keys;
    std::string stackLine;
};

void PrintTo(const WidthCase &widthCase, std::ostream *os)
{
    *os << widthCase.name;
}

class DeskWidth : public testing::TestWithParam<WidthCase> {
};

// The terminal's own width counts (the line at every width:
// desk_units_test.cpp).
TEST_P(DeskWidth, StackLineFitsTheTerminal)
{
    const WidthCase &widthCase = GetParam();
    TerminalSetup setup;
    setup.keystrokes = {widthCase.keys, "quit\n"};
    setup.columns = widthCase.columns;
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_NE(session.screen.find("\r\n" + widthCase.stackLine + "\r\nrpn> "), std::string::npos)
        << session.screen;
}

INSTANTIATE_TEST_SUITE_P(
    Terminals, DeskWidth,
    testing::Values(
        WidthCase{"Narrow", 33, "1 2 3\n", "stack: (3 values) ... 3.000000"},
        // A terminal that does not say: 80 columns.
        WidthCase{"UnknownWidth", 0, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25\n",
                  "stack: (25 values) ... 21.000000 22.000000 23.000000 24.000000 25.000000"}),
    [](const testing::TestParamInfo<WidthCase> &info) { return std::string(info.param.name); });

// A command word is a command only at the prompt: piped, it is the
// expression it spells, as it always was.
class PromptWordsElsewhere : public testing::TestWithParam<HostCase> {
};

TEST_P(PromptWordsElsewhere, AreExpressions)
{
    ExpectRunMatches(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Pipes, PromptWordsElsewhere,
    testing::Values(
        HostCase{"ClearTakesACosine",
                 {"-s"},
                 "0\nclear\n",
                 "result = 0.000000\nresult = 1.000000\n",
                 "rpn: -:2:2: warning: 'lear' after 'c' is skipped (only a token's first byte counts)\n",
                 0},
        HostCase{"StackTakesASine",
                 {"-s"},
                 "0\nstack\n",
                 "result = 0.000000\nresult = 0.000000\n",
                 "rpn: -:2:2: warning: 'tack' after 's' is skipped (only a token's first byte counts)\n",
                 0},
        HostCase{"UndoIsNoCommand",
                 {},
                 "undo\n",
                 "Invalid character: 'u'\n",
                 "rpn: -:1:2: warning: 'ndo' after 'u' is skipped (only a token's first byte counts)\n"
                 "rpn: -:1:1: invalid character 'u'\n",
                 1},
        HostCase{"RedoIsNoCommand",
                 {"-k"},
                 "redo\n1\n",
                 "Invalid character: 'r'\nresult = 1.000000\n",
                 "rpn: -:1:2: warning: 'edo' after 'r' is skipped (only a token's first byte counts)\n"
                 "rpn: -:1:1: invalid character 'r'\n",
                 1},
        // Piped lines start afresh each time unless -s is given.
        HostCase{"OneShotStack",
                 {},
                 "3 4\n+\n",
                 "result = 4.000000\nyou have a stack underflow!\n",
                 "rpn: -:1:4: warning: 1 value is left below the result\nrpn: -:2:1: stack underflow\n",
                 1}),
    CaseName);

}  // namespace
