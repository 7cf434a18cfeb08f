// rpn driven by another program one line at a time: each answer arrives
// while rpn waits for the next line, over a pipe and from a terminal.
#include "coprocess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// Far longer than any answer takes; an answer held back in a buffer never
// comes, since the input does not end.
constexpr std::chrono::milliseconds kPatience{10000};

struct Exchange {
    std::string line;
    // What standard output and standard error must show before the next
    // line is sent.
    std::string out;
    std::string err;
};

struct CoprocessCase {
    const char *name;
    std::vector<std::string> arguments;
    Coprocess::Input input;
    std::vector<Exchange> exchanges;
    int status;
};

void PrintTo(const CoprocessCase &coprocessCase, std::ostream *os)
{
    *os << coprocessCase.name;
}

class LineByLine : public testing::TestWithParam<CoprocessCase> {
};

TEST_P(LineByLine, EachAnswerComesBeforeTheNextLine)
{
    const CoprocessCase &coprocessCase = GetParam();
    Coprocess rpn(coprocessCase.arguments, coprocessCase.input);
    for (const Exchange &exchange : coprocessCase.exchanges) {
        SCOPED_TRACE(exchange.line);
        ASSERT_TRUE(rpn.Send(exchange.line + "\n"));
        EXPECT_EQ(rpn.ReadOutput(exchange.out.size(), kPatience), exchange.out);
        EXPECT_EQ(rpn.ReadError(exchange.err.size(), kPatience), exchange.err);
    }
    std::string restOut;
    std::string restErr;
    EXPECT_EQ(rpn.Finish(restOut, restErr), coprocessCase.status);
    EXPECT_EQ(restOut, "");
    EXPECT_EQ(restErr, "");
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, LineByLine,
    testing::Values(
        CoprocessCase{"QuietKeepGoing",
                      {"-q", "-k"},
                      Coprocess::Input::kPipe,
                      {{"3 4 +", "7.000000\n", ""},
                       {"3 ?", "\n", "Invalid character: '?'\nrpn: -:2:3: invalid character '?'\n"},
                       {"2 L", "7.389056\n", ""}},
                      1},
        CoprocessCase{"LibraryLines",
                      {},
                      Coprocess::Input::kPipe,
                      {{"3 4 +", "result = 7.000000\n", ""},
                       {"1 2 @", "\n---------\n2.000000\n1.000000\n---------\nresult = 2.000000\n",
                        "rpn: -:2:6: warning: 1 value is left below the result\n"}},
                      0},
        CoprocessCase{"KeptStack",
                      {"-s", "-q"},
                      Coprocess::Input::kPipe,
                      {{"1 2", "2.000000\n", ""},
                       {"+", "3.000000\n", ""}},
                      0},
        // Without -k the first failure still ends rpn, with its answer out.
        CoprocessCase{"FailureEndsIt",
                      {"-q"},
                      Coprocess::Input::kPipe,
                      {{"2 3 ^", "8.000000\n", ""},
                       {"-", "", "you have a stack underflow!\nrpn: -:2:1: stack underflow\n"}},
                      1},
        // A terminal read as a file of lines, output to a pipe (rpn -f - | tee).
        CoprocessCase{"FromATerminal",
                      {"-q", "-f", "-"},
                      Coprocess::Input::kTerminal,
                      {{"3 4 +", "7.000000\n", ""},
                       {"0.5 s", "0.479426\n", ""}},
                      0}),
    [](const testing::TestParamInfo<CoprocessCase> &info) { return std::string(info.param.name); });

}  // namespace
