// rpn -f FILE: lines from files, in command-line order with the arguments,
// and where a failure happened.
#include "host_case.h"
#include "scratch_directory.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

// Files of expressions in a directory of their own.
class Files : public ScratchDirectoryTest {
protected:
    std::string Write(const std::string &name, const std::string &text)
    {
        std::string path = root_ + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

TEST_F(Files, RunInCommandLineOrderWithArguments)
{
    const std::string sums = Write("sums", "1 1 +\n2 2 +\n");
    const std::string product = Write("product", "3 3 *\n");
    const ProgramResult result =
        RunProgram({"0", "-f", sums, "9", "--file", product, "-f" + sums, "--file=" + product}, "");
    EXPECT_EQ(result.out,
              "result = 0.000000\nresult = 2.000000\nresult = 4.000000\nresult = 9.000000\n"
              "result = 9.000000\nresult = 2.000000\nresult = 4.000000\nresult = 9.000000\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
}

TEST_F(Files, DashIsStandardInputInItsPlace)
{
    const ProgramResult result = RunProgram({"1", "-f", "-", "4"}, "2\n3\n");
    EXPECT_EQ(result.out, "result = 1.000000\nresult = 2.000000\nresult = 3.000000\nresult = 4.000000\n");
    EXPECT_EQ(result.status, 0);
}

// CRLF line ends, empty lines skipped but counted, a last line without a
// newline: the rules of piped input.
TEST_F(Files, LineRulesAndPlaces)
{
    const std::string lines = Write("lines", "3 ?\r\n\r\n\n1 1 +\r\n5 -");
    const ProgramResult result = RunProgram({"-k", "-f", lines});
    EXPECT_EQ(result.out, "Invalid character: '?'\nresult = 2.000000\nyou have a stack underflow!\n");
    EXPECT_EQ(result.err, "rpn: " + lines + ":1:3: invalid character '?'\nrpn: " + lines +
                              ":5:3: stack underflow\n");
    EXPECT_EQ(result.status, 1);
}

TEST_F(Files, FailureEndsTheRunWithoutKeepGoing)
{
    const std::string lines = Write("lines", "1\n2 ?\n3\n");
    const ProgramResult result = RunProgram({"-f", lines, "4"});
    EXPECT_EQ(result.out, "result = 1.000000\nInvalid character: '?'\n");
    EXPECT_EQ(result.err, "rpn: " + lines + ":2:3: invalid character '?'\n");
    EXPECT_EQ(result.status, 1);
}

// A line longer than rpn's read buffer, which has to grow: the line
// arrives whole and the one after it still follows.
TEST_F(Files, LineLongerThanTheBuffer)
{
    std::string longLine;
    for (int i = 0; i < 20000; ++i) {
        longLine += "1 x ";
    }
    const std::string lines = Write("long", longLine + "?\n2\n");
    const ProgramResult result = RunProgram({"-k", "-f", lines});
    EXPECT_EQ(result.out, "Invalid character: '?'\nresult = 2.000000\n");
    EXPECT_EQ(result.err, "rpn: " + lines + ":1:80001: invalid character '?'\n");
    EXPECT_EQ(result.status, 1);
}

class Places : public testing::TestWithParam<HostCase> {
};

TEST_P(Places, NamedOnStandardError)
{
    ExpectRunMatches(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Diagnostics, Places,
    testing::Values(
        // The argument number counts options too, as the shell's $N does.
        HostCase{"ArgumentNumber",
                 {"-k", "-q", "3 4 ?"},
                 "",
                 "\n",
                 "Invalid character: '?'\nrpn: argument 3:5: invalid character '?'\n",
                 1},
        HostCase{"UnderflowPastTheEnd", {"-k"}, "1\n   \n", "result = 1.000000\nyou have a stack underflow!\n", "rpn: -:2:4: stack underflow\n", 1},
        HostCase{"UnderflowAtACommand", {"1 +"}, "", "you have a stack underflow!\n", "rpn: argument 1:3: stack underflow\n", 1},
        // Bytes that would garble the message are escaped in it; the
        // library's own line keeps them raw.
        HostCase{"TabEscaped", {"1\t\t"}, "", "Invalid character: '\t'\n", "rpn: argument 1:3: invalid character '\\t'\n", 1},
        HostCase{"QuoteEscaped", {"'"}, "", "Invalid character: '''\n", "rpn: argument 1:1: invalid character '\\''\n", 1},
        HostCase{"BackslashEscaped", {"1 \\"}, "", "Invalid character: '\\'\n", "rpn: argument 1:3: invalid character '\\\\'\n", 1},
        HostCase{"HighByteEscaped", {"\xFF"}, "", "Invalid character: '\xFF'\n", "rpn: argument 1:1: invalid character '\\xff'\n", 1}),
    CaseName);

// Where the library's lines go with -q, whatever standard error is.
TEST(QuietStreams, ClosedStandardErrorDropsTheLibrarysLines)
{
    ProgramSetup setup;
    setup.arguments = {"-q", "-k", "1 2 @", "3 ?", "4 #"};
    setup.closeStandardError = true;
    const ProgramResult result = RunProgram(setup);
    EXPECT_EQ(result.out, "2.000000\n\n4.000000\n");
    EXPECT_EQ(result.status, 1);
}

// With both streams in one pipe (2>&1) every line keeps its place.
TEST(QuietStreams, SharedPipeKeepsTheOrder)
{
    ProgramSetup setup;
    setup.arguments = {"-q", "-k", "1 #", "3 ?", "2"};
    setup.out = OutputTarget::kSameAsError;
    const ProgramResult result = RunProgram(setup);
    EXPECT_EQ(result.err,
              "Top of stack: 1.000000\n1.000000\nInvalid character: '?'\n"
              "rpn: argument 4:3: invalid character '?'\n\n2.000000\n");
    EXPECT_EQ(result.status, 1);
}

}  // namespace
