// rpn reading one expression per line from standard input.
#include "host_case.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

class PipedLines : public testing::TestWithParam<HostCase> {
};

TEST_P(PipedLines, ProducesExactOutputAndStatus)
{
    ExpectRunMatches(GetParam());
}

const std::string kListing = kListingOfOneTwo;

INSTANTIATE_TEST_SUITE_P(
    Lines, PipedLines,
    testing::Values(
        HostCase{"OnePerLine", {}, "3 4 +\n2 3 /\n", "result = 7.000000\nresult = 0.666667\n", "", 0},
        HostCase{"CrlfLineEnds", {}, "3 4 +\r\n1 2 @\r\n", "result = 7.000000\n" + kListing + "result = 2.000000\n", "rpn: -:2:6: warning: 1 value is left below the result\n", 0},
        HostCase{"LastLineWithoutNewline", {}, "3 4 +\n5 2 -", "result = 7.000000\nresult = 3.000000\n", "", 0},
        HostCase{"LastLineWithoutNewlineButCr", {}, "5 2 -\r", "result = 3.000000\n", "", 0},
        HostCase{"EmptyLinesSkipped", {}, "\n3 4 +\n\n\r\n", "result = 7.000000\n", "", 0},
        // Only empty lines are skipped; spaces make an expression without values.
        // An underflow at the end of the text points just past it.
        HostCase{"BlankLinesAreExpressions", {}, "  \n", "you have a stack underflow!\n", "rpn: -:1:3: stack underflow\n", 1},
        HostCase{"NoInput", {}, "", "", "", 0},
        HostCase{"EachLineOnItsOwn",
                 {},
                 "1 2\n+\n",
                 "result = 2.000000\nyou have a stack underflow!\n",
                 "rpn: -:1:4: warning: 1 value is left below the result\nrpn: -:2:1: stack underflow\n",
                 1},
        HostCase{"FailureStopsReading",
                 {},
                 "1\n2 ?\n3\n",
                 "result = 1.000000\nInvalid character: '?'\n",
                 "rpn: -:2:3: invalid character '?'\n",
                 1},
        HostCase{"OverflowStatus", {}, Pushes(266) + "\n1\n", "you have a stack overflow!\n", "rpn: -:1:531: stack overflow\n", 255},
        // Skipped empty lines still count in the line numbers.
        HostCase{"KeepGoing",
                 {"-k"},
                 "3 ?\r\n\r\n1 1 +\r\n5 - 3\r\n",
                 "Invalid character: '?'\nresult = 2.000000\nyou have a stack underflow!\n",
                 "rpn: -:1:3: invalid character '?'\nrpn: -:4:3: stack underflow\n",
                 1},
        HostCase{"Quiet", {"-q"}, "3 4 +\n1 2 @\n", "7.000000\n2.000000\n", "rpn: -:2:6: warning: 1 value is left below the result\n" + kListing, 0},
        // An arrow key's escape sequence is the evaluator's as any bytes are.
        HostCase{"ArrowInALine",
                 {},
                 "5 6\x1b[D7\n",
                 "result = 6.000000\n",
                 "rpn: -:1:4: warning: '\\x1b[D7' after the number 6 is skipped (a number ends at its last digit)\n"
                 "rpn: -:1:8: warning: 1 value is left below the result\n",
                 0},
        HostCase{"ArrowAlone",
                 {},
                 "\x1b[A\n",
                 "Invalid character: '\x1b'\n",
                 "rpn: -:1:2: warning: '[A' after '\\x1b' is skipped (only a token's first byte counts)\n"
                 "rpn: -:1:1: invalid character '\\x1b'\n",
                 1}),
    CaseName);

// Many lines, some failing, through buffers larger than a pipe's: nothing
// may be lost, doubled or reordered on either stream.
TEST(PipedLinesMany, EveryLinesOutputArrivesInOrder)
{
    std::string input;
    std::string out;
    std::string err;
    std::string quietOut;
    std::string plainErr;
    for (int i = 0; i < 3000; ++i) {
        const std::string value = std::to_string(i + 1) + ".000000\n";
        if (i % 7 == 3) {
            const std::string number = std::to_string(i);
            const std::string diagnostic = "rpn: -:" + std::to_string(i + 1) + ":" +
                                           std::to_string(number.size() + 2) + ": invalid character '?'\n";
            input += number + " ?\n";
            out += "Invalid character: '?'\n";
            err += "Invalid character: '?'\n" + diagnostic;
            plainErr += diagnostic;
            quietOut += "\n";
        } else {
            input += std::to_string(i) + " 1 +\n";
            out += "result = " + value;
            quietOut += value;
        }
    }
    const ProgramResult plain = RunProgram({"-k"}, input);
    EXPECT_EQ(plain.out, out);
    EXPECT_EQ(plain.err, plainErr);
    EXPECT_EQ(plain.status, 1);

    const ProgramResult quiet = RunProgram({"-k", "-q"}, input);
    EXPECT_EQ(quiet.out, quietOut);
    EXPECT_EQ(quiet.err, err);
    EXPECT_EQ(quiet.status, 1);
}

// Standard input from a file, which unlike a pipe can be sought in: every
// line runs once.
TEST(PipedLinesFromFile, EveryLineRunsOnce)
{
    char path[] = "/tmp/rpn-host-test-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        std::ofstream file(path, std::ios::binary);
        file << "1 ?\n2\n3 ?\n4\n";
    }
    const ProgramResult result = RunProgramOnFile({"-k"}, path);
    std::remove(path);
    EXPECT_EQ(result.out,
              "Invalid character: '?'\nresult = 2.000000\nInvalid character: '?'\nresult = 4.000000\n");
    EXPECT_EQ(result.status, 1);
}

}  // namespace
