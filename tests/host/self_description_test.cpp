// What rpn says about itself: --help and --version.
#include "program_run.h"

#include <kelvaro/calculator_rpn.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kCommands[] = "+-*/%^sctSCTlL!p]x#@";

struct HelpExample {
    char command;
    std::string expression;
    std::string value;
};

// Rows of the command table read "  C  meaning  'expression'  gives value".
std::vector<HelpExample> ReadExamples(const std::string &help)
{
    std::vector<HelpExample> examples;
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t open = line.find('\'');
        const std::size_t close = line.find('\'', open + 1);
        const std::size_t gives = line.find(" gives ", close);
        if (line.rfind("  ", 0) != 0 || line.size() < 5 || line[3] != ' ' || line[4] != ' ' ||
            open == std::string::npos || close == std::string::npos || gives == std::string::npos) {
            continue;
        }
        examples.push_back({line[2], line.substr(open + 1, close - open - 1), line.substr(gives + 7)});
    }
    return examples;
}

// The help rounds its values; they must agree with the library's six
// decimals to the digits shown.
bool SameToShownDigits(const std::string &shown, const std::string &computed)
{
    const std::size_t point = shown.find('.');
    const int digits = point == std::string::npos ? 0 : static_cast<int>(shown.size() - point - 1);
    const double tolerance = 0.5 * std::pow(10.0, -digits);
    return std::fabs(std::strtod(shown.c_str(), nullptr) - std::strtod(computed.c_str(), nullptr)) <=
           tolerance;
}

TEST(Help, ShortAndLongFormsPrintTheSameText)
{
    const ProgramResult longForm = RunProgram({"--help"});
    const ProgramResult shortForm = RunProgram({"-h"});
    EXPECT_EQ(longForm.status, 0);
    EXPECT_EQ(longForm.err, "");
    EXPECT_EQ(longForm.out.rfind("Usage: rpn [OPTION]... [EXPRESSION]...\n", 0), 0u);
    EXPECT_EQ(shortForm.out, longForm.out);
    EXPECT_EQ(shortForm.status, 0);
}

TEST(Help, WinsOverExpressions)
{
    const ProgramResult result = RunProgram({"3 4 ?", "--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, RunProgram({"--help"}).out);
}

TEST(Help, EveryCommandHasAnExampleThatHolds)
{
    const std::vector<HelpExample> examples = ReadExamples(RunProgram({"--help"}).out);
    std::string documented;
    for (const HelpExample &example : examples) {
        SCOPED_TRACE(example.expression);
        documented += example.command;
        EXPECT_NE(example.expression.find(example.command), std::string::npos);
        const ProgramResult result = RunProgram({"-q", "--", example.expression});
        ASSERT_EQ(result.status, 0);
        ASSERT_FALSE(result.out.empty());
        EXPECT_TRUE(SameToShownDigits(example.value, result.out))
            << "help says " << example.value << ", library gives " << result.out;
    }
    EXPECT_EQ(documented, kCommands);
}

TEST(Help, ListsEveryExitStatus)
{
    const std::string help = RunProgram({"--help"}).out;
    for (const char *row : {"\n  0    ", "\n  1    ", "\n  255  ", "\n  2    ", "\n  3    "}) {
        EXPECT_NE(help.find(row), std::string::npos) << row;
    }
    EXPECT_NE(help.find("Invalid character: 'c'"), std::string::npos);
}

TEST(Version, NamesProgramAndLibrary)
{
    const ProgramResult result = RunProgram({"--version"});
    EXPECT_EQ(result.out, std::string("rpn ") + RPN_EXPECTED_VERSION + "\nKelvaroCalculatorRPN " +
                              KELVARO_RPN_VERSION + "\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
}

}  // namespace
