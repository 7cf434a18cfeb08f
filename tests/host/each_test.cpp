// rpn --each=FORMULA: the formula after every expression, against the two
// written out as one text.
#include "host_case.h"
#ifndef _WIN32
#include "terminal_session.h"
#endif

#include <sstream>

namespace {

class Each : public testing::TestWithParam<HostCase> {
};

TEST_P(Each, ProducesExactOutputAndStatus)
{
    ExpectRunMatches(GetParam());
}

const std::string kTail = " is skipped (only a token's first byte counts)\n";

INSTANTIATE_TEST_SUITE_P(
    Places, Each,
    testing::Values(
        HostCase{"Celsius", {"--each", "9 * 5 / 32 +", "100", "-40"}, "", "result = 212.000000\nresult = -40.000000\n", "", 0},
        HostCase{"AttachedValue", {"--each=2 *", "21"}, "", "result = 42.000000\n", "", 0},
        HostCase{"LastOneCounts", {"--each=1 +", "--each=2 *", "3"}, "", "result = 6.000000\n", "", 0},
        HostCase{"FailureInFormula",
                 {"--each", "+", "1"},
                 "",
                 "you have a stack underflow!\n",
                 "rpn: argument 3: --each:1: stack underflow\n",
                 1},
        HostCase{"FailureInExpression",
                 {"--each=1 +", "5 ?"},
                 "",
                 "Invalid character: '?'\n",
                 "rpn: argument 2:3: invalid character '?'\n",
                 1},
        HostCase{"OverflowInFormula", {"--each", "1", Pushes(265)}, "", "you have a stack overflow!\n", "rpn: argument 3: --each:1: stack overflow\n", 255},
        HostCase{"PipedLines",
                 {"-k", "--each", "+ 1"},
                 "3\n\n+\n1 2\n",
                 "you have a stack underflow!\nyou have a stack underflow!\nresult = 1.000000\n",
                 "rpn: -:1: --each:1: stack underflow\nrpn: -:3:1: stack underflow\n"
                 "rpn: -:4: --each:4: warning: 1 value is left below the result\n",
                 1},
        HostCase{"Quiet", {"-q", "--each", "2 *", "3"}, "", "6.000000\n", "", 0},
        HostCase{"Decimals", {"-d2", "--each", "3 /", "1"}, "", "result = 0.33\n", "", 0},
        HostCase{"KeepStack", {"-s", "--each", "1 +", "1", "2"}, "", "result = 2.000000\nresult = 3.000000\n", "", 0},
        // A failure leaves the kept stack as it was before the expression.
        HostCase{"KeepStackFailures",
                 {"-s", "-k", "--each", "+", "1 2", "x x", "1", "x"},
                 "",
                 "result = 3.000000\nyou have a stack underflow!\nresult = 4.000000\nyou have a stack underflow!\n",
                 "rpn: argument 6:3: stack underflow\nrpn: argument 8: --each:1: stack underflow\n",
                 1}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    FormulaChecks, Each,
    testing::Values(
        HostCase{"InvalidCharacterIsAUsageError",
                 {"1", "--each", "2 ?"},
                 "",
                 "",
                 std::string("rpn: --each:3: invalid character '?'\n") + kUsageTail,
                 2},
        HostCase{"InvalidByteEscaped",
                 {"--each=1 \xC3", "1"},
                 "",
                 "",
                 std::string("rpn: --each:3: invalid character '\\xc3'\n") + kUsageTail,
                 2},
        HostCase{"Missing", {"1", "--each"}, "", "", std::string("rpn: option '--each' needs an argument\n") + kUsageTail, 2},
        HostCase{"MissingAttached", {"--each=", "1"}, "", "", std::string("rpn: option '--each' needs an argument\n") + kUsageTail, 2},
        // Said once, not for every expression.
        HostCase{"WarningsOnceAtTheStart",
                 {"--each", "sq", "4", "9"},
                 "",
                 "result = -0.756802\nresult = 0.412118\n",
                 "rpn: --each:2: warning: 'q' after 's'" + kTail,
                 0},
        HostCase{"StrictWarningIsAUsageError",
                 {"--strict", "--each=sq", "4"},
                 "",
                 "",
                 "rpn: --each:2: error: 'q' after 's'" + kTail + kUsageTail,
                 2},
        HostCase{"NoWarnings", {"--no-warnings", "--each=sq", "4 1 2"}, "", "result = 0.909297\n", "", 0},
        // Values left count after the formula: it may use them up.
        HostCase{"ValuesUsedUp", {"--each", "+", "1 2"}, "", "result = 3.000000\n", "", 0},
        HostCase{"ValuesLeftAfterTheFormula",
                 {"--each", "+", "1 2 3"},
                 "",
                 "result = 5.000000\n",
                 "rpn: argument 3: --each:2: warning: 1 value is left below the result\n",
                 0},
        HostCase{"FormulaLeavingValues",
                 {"--each", "1 2", "3"},
                 "",
                 "result = 2.000000\n",
                 "rpn: argument 3: --each:4: warning: 2 values are left below the result\n",
                 0},
        HostCase{"ExpressionTail",
                 {"--each", "2 *", "9 sqrt"},
                 "",
                 "result = 0.824237\n",
                 "rpn: argument 3:4: warning: 'qrt' after 's'" + kTail,
                 0},
        HostCase{"StrictRefusesTheExpression",
                 {"--strict", "-k", "--each", "+", "1 2 3", "1 2"},
                 "",
                 "result = 3.000000\n",
                 "rpn: argument 5: --each:2: error: 1 value is left below the result\n",
                 4}),
    CaseName);

// The lines of standard error that are warnings, without their places.
std::vector<std::string> Findings(const std::string &err)
{
    std::vector<std::string> findings;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("warning: ");
        if (at != std::string::npos) {
            findings.push_back(line.substr(at));
        }
    }
    return findings;
}

struct Pair {
    std::string expression;
    std::string formula;
};

// Listings, failures and warnings on either side of the space; what the
// formula itself is warned about is said once at the start instead.
const std::vector<Pair> kPairs = {
    {"100", "9 * 5 / 32 +"}, {"1 2", "+"},       {"1 2 3", "+"},      {"1 2 3", "2 *"},
    {"", "1"},               {"", ""},           {"", "2 *"},         {"5 ?", "1 +"},
    {"5 -", "1 +"},          {"1", "+"},         {"1", "x"},          {"3", "x 4"},
    {"1 2 @", "# +"},        {"1 2 #", "@ + #"}, {"@", "1 @"},        {Pushes(265), "1"},
    {Pushes(264), "1 +"},    {Pushes(266), "1"}, {Pushes(200), "+"},  {"9 sqrt", "2 *"},
    {"2.5x", "1 2"},         {"1 2", "1 2"},     {"-5", "-3 -"},      {"3 4 + x", "1"},
};

TEST(EachAgreement, SameAsTheJoinedText)
{
    for (const Pair &pair : kPairs) {
        for (const std::vector<std::string> &mode :
             std::vector<std::vector<std::string>>{{}, {"-q", "-k"}, {"--shortest"}, {"--strict", "-k"}}) {
            SCOPED_TRACE("'" + pair.expression.substr(0, 20) + "' then '" + pair.formula + "'");
            std::vector<std::string> joined = mode;
            joined.push_back("--");
            joined.push_back(pair.expression + " " + pair.formula);
            std::vector<std::string> each = mode;
            each.insert(each.end(), {"--each", pair.formula, "--", pair.expression});
            const ProgramResult expected = RunProgram(joined);
            const ProgramResult result = RunProgram(each);
            EXPECT_EQ(result.out, expected.out);
            EXPECT_EQ(result.status, expected.status);
            if (mode.empty()) {
                EXPECT_EQ(Findings(result.err), Findings(expected.err));
            }
        }
    }
}

// With a kept stack, expression after expression.
TEST(EachAgreement, SameAsTheJoinedTextOnAKeptStack)
{
    const std::vector<std::string> expressions = {"1 2", "x x x", "3 @", "", "+ +", "4"};
    for (const char *formula : {"+", "1 +", "x", "2 #"}) {
        SCOPED_TRACE(formula);
        std::vector<std::string> joined = {"-s", "-k", "--"};
        std::vector<std::string> each = {"-s", "-k", "--each", formula, "--"};
        for (const std::string &expression : expressions) {
            joined.push_back(expression + " " + std::string(formula));
            each.push_back(expression);
        }
        const ProgramResult expected = RunProgram(joined);
        const ProgramResult result = RunProgram(each);
        EXPECT_EQ(result.out, expected.out);
        EXPECT_EQ(result.status, expected.status);
    }
}

// A pseudo-terminal: POSIX only.
#ifndef _WIN32
TEST(EachAtThePrompt, CaretInTheFailingPart)
{
    TerminalSetup setup;
    setup.arguments = {"--each", "2 +"};
    // The prompt keeps the stack: clear empties it for the formula to fail.
    setup.keystrokes = {"3\n", "+\n", "\n", "clear\n", " \n", "quit\n"};
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.out, "result = 5.000000\nyou have a stack underflow!\nyou have a stack underflow!\n");
    EXPECT_EQ(session.err, "rpn: -:2:1: stack underflow\n+\n^\nrpn: -:5: --each:3: stack underflow\n2 +\n  ^\n");
    EXPECT_EQ(session.status, 0);
}

#endif

}  // namespace
