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
        HostCase{"CrlfLineEnds", {}, "3 4 +\r\n1 2 @\r\n", "result = 7.000000\n" + kListing + "result = 2.000000\n", "", 0},
        HostCase{"LastLineWithoutNewline", {}, "3 4 +\n5 2 -", "result = 7.000000\nresult = 3.000000\n", "", 0},
        HostCase{"LastLineWithoutNewlineButCr", {}, "5 2 -\r", "result = 3.000000\n", "", 0},
        HostCase{"EmptyLinesSkipped", {}, "\n3 4 +\n\n\r\n", "result = 7.000000\n", "", 0},
        // Only empty lines are skipped; spaces make an expression without values.
        HostCase{"BlankLinesAreExpressions", {}, "  \n", "you have a stack underflow!\n", "", 1},
        HostCase{"NoInput", {}, "", "", "", 0},
        HostCase{"EachLineOnItsOwn", {}, "1 2\n+\n", "result = 2.000000\nyou have a stack underflow!\n", "", 1},
        HostCase{"FailureStopsReading", {}, "1\n2 ?\n3\n", "result = 1.000000\nInvalid character: '?'\n", "", 1},
        HostCase{"OverflowStatus", {}, Pushes(266) + "\n1\n", "you have a stack overflow!\n", "", 255},
        HostCase{"KeepGoing",
                 {"-k"},
                 "3 ?\r\n1 1 +\r\n5 - 3\r\n",
                 "Invalid character: '?'\nresult = 2.000000\nyou have a stack underflow!\n",
                 "",
                 1},
        HostCase{"Quiet", {"-q"}, "3 4 +\n1 2 @\n", "7.000000\n2.000000\n", "result = 7.000000\n" + kListing + "result = 2.000000\n", 0}),
    CaseName);

// Many children in a row, each writing into the same pipe: nothing may be
// lost, doubled or reordered.
TEST(PipedLinesIsolation, EveryChildsOutputArrivesInOrder)
{
    std::string input;
    std::string out;
    std::string err;
    std::string quietOut;
    for (int i = 0; i < 300; ++i) {
        const std::string value = std::to_string(i + 1) + ".000000\n";
        if (i % 7 == 3) {
            input += std::to_string(i) + " ?\n";
            out += "Invalid character: '?'\n";
            err += "Invalid character: '?'\n";
        } else {
            input += std::to_string(i) + " 1 +\n";
            out += "result = " + value;
            err += "result = " + value;
            quietOut += value;
        }
    }
    const ProgramResult plain = RunProgram({"-k"}, input);
    EXPECT_EQ(plain.out, out);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(plain.status, 1);

    const ProgramResult quiet = RunProgram({"-k", "-q"}, input);
    EXPECT_EQ(quiet.out, quietOut);
    EXPECT_EQ(quiet.err, err);
    EXPECT_EQ(quiet.status, 1);
}

// A file, unlike a pipe, shares a movable offset between rpn and its
// children; a child must not drag it back and make a line run twice.
TEST(PipedLinesIsolation, FileInputIsReadOnce)
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
