// What kelvaro_rpn_check finds, said on standard error in every mode;
// --no-warnings and --strict.
#include "host_case.h"
#include "scratch_directory.h"
#ifndef _WIN32
#include "terminal_session.h"
#endif

#include <fstream>

namespace {

const std::string kTail = " is skipped (only a token's first byte counts)\n";
const std::string kNumber = " is skipped (a number ends at its last digit)\n";

class Warnings : public testing::TestWithParam<HostCase> {
};

TEST_P(Warnings, ProduceExactOutputAndStatus)
{
    ExpectRunMatches(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Findings, Warnings,
    testing::Values(
        HostCase{"CommandTail", {"9 sqrt"}, "", "result = 0.412118\n", "rpn: argument 1:4: warning: 'qrt' after 's'" + kTail, 0},
        HostCase{"NumberTail", {"2.5x 2 *"}, "", "result = 5.000000\n", "rpn: argument 1:4: warning: 'x' after the number 2.5" + kNumber, 0},
        HostCase{"SignedNumberTail", {"-4+"}, "", "result = -4.000000\n", "rpn: argument 1:3: warning: '+' after the number -4" + kNumber, 0},
        HostCase{"ThousandsSeparator", {"1,234 1 +"}, "", "result = 2.000000\n", "rpn: argument 1:2: warning: ',234' after the number 1" + kNumber, 0},
        HostCase{"OneValueLeft", {"1 2"}, "", "result = 2.000000\n", "rpn: argument 1:4: warning: 1 value is left below the result\n", 0},
        HostCase{"ValuesLeft", {"1 2 3"}, "", "result = 3.000000\n", "rpn: argument 1:6: warning: 2 values are left below the result\n", 0},
        HostCase{"SeveralInTextOrder",
                 {"2.5x 9 sqrt 1"},
                 "",
                 "result = 1.000000\n",
                 "rpn: argument 1:4: warning: 'x' after the number 2.5" + kNumber +
                     "rpn: argument 1:9: warning: 'qrt' after 's'" + kTail +
                     "rpn: argument 1:14: warning: 2 values are left below the result\n",
                 0},
        // Bytes that would garble the line are escaped, as in diagnostics.
        HostCase{"EscapedBytes",
                 {"5' s\\ 1\x01 3\n4 +"},
                 "",
                 "result = 4.000000\n",
                 "rpn: argument 1:2: warning: '\\'' after the number 5" + kNumber +
                     "rpn: argument 1:5: warning: '\\\\' after 's'" + kTail +
                     "rpn: argument 1:8: warning: '\\x01' after the number 1" + kNumber +
                     "rpn: argument 1:11: warning: '\\n4' after the number 3" + kNumber +
                     "rpn: argument 1:15: warning: 1 value is left below the result\n",
                 0},
        // A failing text is checked to its end but leaves no values.
        HostCase{"BeforeTheFailure",
                 {"1 sq 2 ?"},
                 "",
                 "Invalid character: '?'\n",
                 "rpn: argument 1:4: warning: 'q' after 's'" + kTail + "rpn: argument 1:8: invalid character '?'\n",
                 1},
        HostCase{"CleanTextNone", {"3 4 +", "1 2 @ x"}, "", "result = 7.000000\n" + std::string(kListingOfOneTwo) + "result = 1.000000\n", "", 0}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Modes, Warnings,
    testing::Values(
        HostCase{"PipedLines",
                 {},
                 "9 sqrt\n\n1 2 3\r\n",
                 "result = 0.412118\nresult = 3.000000\n",
                 "rpn: -:1:4: warning: 'qrt' after 's'" + kTail + "rpn: -:3:6: warning: 2 values are left below the result\n",
                 0},
        // Warnings come before the library's lines of the same expression.
        HostCase{"QuietStillWarns",
                 {"-q", "9 sqrt"},
                 "",
                 "0.412118\n",
                 "rpn: argument 2:4: warning: 'qrt' after 's'" + kTail,
                 0},
        HostCase{"KeepGoing",
                 {"-k", "1 sq ?", "1 2"},
                 "",
                 "Invalid character: '?'\nresult = 2.000000\n",
                 "rpn: argument 2:4: warning: 'q' after 's'" + kTail + "rpn: argument 2:6: invalid character '?'\n"
                     "rpn: argument 3:4: warning: 1 value is left below the result\n",
                 1},
        // With a kept stack values left are the point; tails still warn.
        HostCase{"KeepStack",
                 {"-s", "1 2", "sqrt"},
                 "",
                 "result = 2.000000\nresult = 0.909297\n",
                 "rpn: argument 3:2: warning: 'qrt' after 's'" + kTail,
                 0},
        HostCase{"NoWarnings", {"--no-warnings", "9 sqrt", "1 2 3"}, "", "result = 0.412118\nresult = 3.000000\n", "", 0},
        HostCase{"NoWarningsQuiet", {"-q", "--no-warnings", "9 sqrt"}, "", "0.412118\n", "", 0},
        HostCase{"NoWarningsTakesNoValue",
                 {"--no-warnings=1", "1"},
                 "",
                 "",
                 std::string("rpn: unknown option '--no-warnings=1'\n") + kUsageTail,
                 2}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Strict, Warnings,
    testing::Values(
        HostCase{"RefusedNotRun", {"--strict", "9 sqrt"}, "", "", "rpn: argument 2:4: error: 'qrt' after 's'" + kTail, 4},
        HostCase{"StopsTheRun",
                 {"--strict", "1", "1 2", "3"},
                 "",
                 "result = 1.000000\n",
                 "rpn: argument 3:4: error: 1 value is left below the result\n",
                 4},
        HostCase{"EveryFindingSaid",
                 {"--strict", "2.5x 9 sqrt 1"},
                 "",
                 "",
                 "rpn: argument 2:4: error: 'x' after the number 2.5" + kNumber +
                     "rpn: argument 2:9: error: 'qrt' after 's'" + kTail +
                     "rpn: argument 2:14: error: 2 values are left below the result\n",
                 4},
        HostCase{"KeepGoing",
                 {"--strict", "-k", "9 sqrt", "3 4 +", "5 ?"},
                 "",
                 "result = 7.000000\nInvalid character: '?'\n",
                 "rpn: argument 3:4: error: 'qrt' after 's'" + kTail + "rpn: argument 5:3: invalid character '?'\n",
                 4},
        HostCase{"FirstFailureStatus",
                 {"--strict", "-k", "5 ?", "9 sqrt"},
                 "",
                 "Invalid character: '?'\n",
                 "rpn: argument 3:3: invalid character '?'\nrpn: argument 4:4: error: 'qrt' after 's'" + kTail,
                 1},
        // Line N of -q output still answers expression N.
        HostCase{"QuietKeepGoing",
                 {"--strict", "-kq", "9 sqrt", "3 4 +"},
                 "",
                 "\n7.000000\n",
                 "rpn: argument 3:4: error: 'qrt' after 's'" + kTail,
                 4},
        HostCase{"QuietStops", {"--strict", "-q", "9 sqrt", "1"}, "", "", "rpn: argument 3:4: error: 'qrt' after 's'" + kTail, 4},
        HostCase{"WinsOverNoWarnings",
                 {"--no-warnings", "--strict", "9 sqrt"},
                 "",
                 "",
                 "rpn: argument 3:4: error: 'qrt' after 's'" + kTail,
                 4},
        // A refused expression leaves the kept stack as it was.
        HostCase{"KeepStackUntouched",
                 {"--strict", "-k", "-s", "1 2", "sqrt", "+"},
                 "",
                 "result = 2.000000\nresult = 3.000000\n",
                 "rpn: argument 5:2: error: 'qrt' after 's'" + kTail,
                 4},
        HostCase{"PipedLines",
                 {"--strict"},
                 "1\n9 sqrt\n2\n",
                 "result = 1.000000\n",
                 "rpn: -:2:4: error: 'qrt' after 's'" + kTail,
                 4},
        HostCase{"CleanRuns", {"--strict", "3 4 +"}, "", "result = 7.000000\n", "", 0}),
    CaseName);

class WarningFiles : public ScratchDirectoryTest {
};

TEST_F(WarningFiles, NameTheFileAndLine)
{
    const std::string path = root_ + "/lines";
    std::ofstream(path, std::ios::binary) << "3 4 +\n\n1 2\n9 sqrt";
    const ProgramResult result = RunProgram({"-f", path});
    EXPECT_EQ(result.out, "result = 7.000000\nresult = 2.000000\nresult = 0.412118\n");
    EXPECT_EQ(result.err, "rpn: " + path + ":3:4: warning: 1 value is left below the result\nrpn: " + path +
                              ":4:4: warning: 'qrt' after 's'" + kTail);
    EXPECT_EQ(result.status, 0);

    const ProgramResult strict = RunProgram({"--strict", "-k", "-f", path});
    EXPECT_EQ(strict.out, "result = 7.000000\n");
    EXPECT_EQ(strict.err, "rpn: " + path + ":3:4: error: 1 value is left below the result\nrpn: " + path +
                              ":4:4: error: 'qrt' after 's'" + kTail);
    EXPECT_EQ(strict.status, 4);
}

// Standard output shared with standard error: a warning comes before the
// result it belongs to.
TEST(WarningOrder, BeforeTheResultOnASharedStream)
{
    ProgramSetup setup;
    setup.arguments = {"1", "9 sqrt"};
    setup.out = OutputTarget::kSameAsError;
    const ProgramResult result = RunProgram(setup);
    EXPECT_EQ(result.out + result.err,
              "result = 1.000000\nrpn: argument 2:4: warning: 'qrt' after 's'" + kTail + "result = 0.412118\n");
    EXPECT_EQ(result.status, 0);
}

#if RPN_LINE_EDITING
TEST(WarningsAtThePrompt, SaidWithSessionLineNumbers)
{
    TerminalSetup setup;
    // The prompt keeps the stack, so values left below are no mistake there.
    setup.keystrokes = {"9 sqrt\n", "\n", "1 2.5x +\n", "1 2 3\n", "quit\n"};
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.out, "result = 0.412118\nresult = 3.500000\nresult = 3.000000\n");
    EXPECT_EQ(session.err, "rpn: -:1:4: warning: 'qrt' after 's'" + kTail +
                               "rpn: -:3:6: warning: 'x' after the number 2.5 is skipped (a number ends "
                               "at its last digit)\n");
    EXPECT_EQ(session.status, 0);
}

TEST(WarningsAtThePrompt, StrictRefusesWithACaretAndGoesOn)
{
    TerminalSetup setup;
    setup.arguments = {"--strict", "-q"};
    setup.keystrokes = {"9 sqrt\n", "3 4 +\n", "quit\n"};
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.out, "\n7.000000\n");
    EXPECT_EQ(session.err, "rpn: -:1:4: error: 'qrt' after 's'" + kTail + "9 sqrt\n   ^\n");
    EXPECT_EQ(session.status, 0);
}

TEST(WarningsAtThePrompt, NoWarnings)
{
    TerminalSetup setup;
    setup.arguments = {"--no-warnings"};
    setup.keystrokes = {"9 sqrt\n", "quit\n"};
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.out, "result = 0.412118\n");
    EXPECT_EQ(session.err, "");
}

#endif

}  // namespace
