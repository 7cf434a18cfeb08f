// What rpn says about itself: --help and --version.
#include "program_run.h"

#include <kelvaro/rpn.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

// The help's row for a command, up to where its example's value starts
// (or the whole row for the separators, which have no example).
std::string RowFor(const kelvaro_rpn_command &command)
{
    const bool visible = std::isgraph(static_cast<unsigned char>(command.byte)) != 0;
    std::string row = std::string("\n  ") + (visible ? command.byte : ' ') + "  " + command.name +
                      ": " + command.meaning;
    if (command.example[0] == '\0') {
        return row + "\n";
    }
    return row + "; '" + command.example + "' gives ";
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

// Every command of the library's table has its row, and the value the row
// gives for its example is what rpn computes for it.
TEST(Help, EveryCommandHasARowWhoseExampleHolds)
{
    const std::string help = RunProgram({"--help"}).out;
    std::size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    ASSERT_GT(count, 0u);
    for (std::size_t i = 0; i < count; ++i) {
        const kelvaro_rpn_command &command = commands[i];
        const std::string row = RowFor(command);
        SCOPED_TRACE(row);
        const std::size_t at = help.find(row);
        ASSERT_NE(at, std::string::npos);
        if (command.example[0] == '\0') {
            continue;
        }
        const std::size_t valueStart = at + row.size();
        const std::string shown = help.substr(valueStart, help.find('\n', valueStart) - valueStart);
        const ProgramResult result = RunProgram({"-q", "--shortest", "--", command.example});
        ASSERT_EQ(result.status, 0);
        EXPECT_EQ(shown + "\n", result.out);
    }
}

TEST(Help, ListsEveryOptionAndExitStatus)
{
    const std::string help = RunProgram({"--help"}).out;
    for (const char *entry : {"-k, --keep-going", "-q, --quiet", "-s, --keep-stack", "-f, --file=FILE",
                              "-d, --decimals=N", "--shortest", "-h, --help", "--version",
                              "--no-warnings", "--strict", "\n  4    ", "\n  0    ", "\n  1    ",
                              "\n  255  ", "\n  2    ", "\n  3    ", "\n  128+N  "}) {
        EXPECT_NE(help.find(entry), std::string::npos) << entry;
    }
    // Only where there is a prompt: its commands and its history file.
    for (const char *entry : {"\n  undo  ", "RPN_HISTFILE", "XDG_STATE_HOME"}) {
#if !RPN_LINE_EDITING
        EXPECT_EQ(help.find(entry), std::string::npos) << entry;
#else
        EXPECT_NE(help.find(entry), std::string::npos) << entry;
#endif
    }
    EXPECT_NE(help.find("Invalid character: 'c'"), std::string::npos);
}

// Every long option the help lists has its entry in the manual page, written
// as troff spells it ("\-\-no\-warnings"), and so has every exit status.
TEST(Help, EveryOptionAndStatusIsInTheManualPage)
{
    std::ifstream file(KELVARO_MANUAL_PAGE);
    ASSERT_TRUE(file.good()) << KELVARO_MANUAL_PAGE;
    std::stringstream page;
    page << file.rdbuf();
    const std::string manual = page.str();
    const std::string help = RunProgram({"--help"}).out;
    const std::regex option("\n  (?:-., |    )(--[a-z-]+)");
    std::size_t options = 0;
    for (std::sregex_iterator at(help.begin(), help.end(), option), end; at != end; ++at, ++options) {
        std::string troff;
        for (const char c : (*at)[1].str()) {
            troff += c == '-' ? std::string("\\-") : std::string(1, c);
        }
        EXPECT_NE(manual.find(troff), std::string::npos) << (*at)[1];
    }
    EXPECT_EQ(options, 10u);
    for (const char *status : {".B 0\n", ".B 1\n", ".B 2\n", ".B 3\n", ".B 4\n", ".B 255\n"}) {
        EXPECT_NE(manual.find(status), std::string::npos) << status;
    }
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
