// Signals sent to rpn at its prompt: one that ends rpn ends it alone and
// gives the terminal back; Ctrl-C, Ctrl-Z and a resized window keep their
// meanings. Each runs rpn inside a shell on a terminal, since what matters
// is what happens around rpn.
#include "terminal_session.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ostream>
#include <string>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The first line the terminal showed.
std::string FirstLine(const std::string &screen)
{
    return screen.substr(0, screen.find(kLineEnd));
}

// The line after the first occurrence of `marker`.
std::string LineAfter(const std::string &screen, const std::string &marker)
{
    const std::size_t at = screen.find(marker);
    if (at == std::string::npos) {
        return "(no " + marker + ")";
    }
    const std::size_t start = at + marker.size();
    return screen.substr(start, screen.find(kLineEnd, start) - start);
}

struct EndingCase {
    const char *name;
    int number;
    // As a shell reports it.
    int status;
};

void PrintTo(const EndingCase &endingCase, std::ostream *os)
{
    *os << endingCase.name;
}

class EndingSignal : public testing::TestWithParam<EndingCase> {
};

// The terminal's mode as `stty -g` writes it before and after rpn, and
// what the shell saw of rpn's end; no core file from SIGQUIT.
constexpr char kAroundRpn[] = "ulimit -c 0; stty -g; \"$RPN\"; echo \"rpn ended with $?\"; stty -g";

TEST_P(EndingSignal, EndsRpnAloneAndGivesTheTerminalBack)
{
    TerminalDriver driver(kAroundRpn);
    ASSERT_TRUE(driver.AwaitPrompts(1));
    ASSERT_TRUE(driver.Type("3 4 +"));
    // The editor had the terminal out of line mode: there is a mode to give
    // back.
    ASSERT_EQ(driver.Mode().c_lflag & ICANON, 0u);
    driver.Signal(GetParam().number);
    const TerminalSession session = driver.Finish();
    ASSERT_TRUE(session.answered) << session.screen;
    // The shell lived on after rpn, and its lines start on lines of their
    // own.
    const std::string ended = "rpn ended with " + std::to_string(GetParam().status) + "\r\n";
    EXPECT_NE(session.screen.find(ended), std::string::npos) << session.screen;
    EXPECT_NE(session.screen.find("rpn> 3 4 +\r\n"), std::string::npos) << session.screen;
    EXPECT_EQ(session.status, 0);
    const std::string before = FirstLine(session.screen);
    EXPECT_NE(before.find(':'), std::string::npos) << session.screen;
    EXPECT_EQ(LineAfter(session.screen, ended), before) << session.screen;
    // The line being typed was never evaluated.
    EXPECT_EQ(session.screen.find("result"), std::string::npos) << session.screen;
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignal,
                         testing::Values(EndingCase{"Terminate", SIGTERM, 143}, EndingCase{"Hangup", SIGHUP, 129},
                                         EndingCase{"Quit", SIGQUIT, 131}, EndingCase{"Alarm", SIGALRM, 142},
                                         EndingCase{"User1", SIGUSR1, 138}, EndingCase{"User2", SIGUSR2, 140}),
                         [](const testing::TestParamInfo<EndingCase> &info) { return std::string(info.param.name); });

// The reader of rpn's output is in rpn's process group; it reads to the end
// of what rpn wrote before the signal, and goes on.
TEST(Signals, ReaderOfTheOutputLivesOn)
{
    TerminalDriver driver("{ \"$RPN\"; echo \"rpn ended with $?\"; } | (cat; echo \"reader lived on\"); "
                          "echo \"shell lived on\"");
    ASSERT_TRUE(driver.AwaitPrompts(1));
    ASSERT_TRUE(driver.Type("1 2 +\n"));
    ASSERT_TRUE(driver.AwaitScreen("result = 3.000000\r\n"));
    ASSERT_TRUE(driver.AwaitPrompts(2));
    ASSERT_TRUE(driver.Type("5"));
    driver.Signal(SIGTERM);
    const TerminalSession session = driver.Finish();
    ASSERT_TRUE(session.answered) << session.screen;
    const std::string after = session.screen.substr(session.screen.find("result = 3.000000"));
    EXPECT_NE(after.find("rpn ended with 143\r\nreader lived on\r\nshell lived on\r\n"), std::string::npos)
        << session.screen;
    EXPECT_EQ(session.status, 0);
}

struct KeptCase {
    const char *name;
    // Runs before rpn in the shell.
    std::string before;
    int number;
    std::string typedBefore;
    // Whether the line is abandoned and a new prompt shown.
    bool abandons;
    std::string typedAfter;
};

void PrintTo(const KeptCase &keptCase, std::ostream *os)
{
    *os << keptCase.name;
}

class KeptSession : public testing::TestWithParam<KeptCase> {
};

TEST_P(KeptSession, SessionGoesOn)
{
    const KeptCase &keptCase = GetParam();
    TerminalDriver driver(keptCase.before + "\"$RPN\"; echo \"rpn ended with $?\"");
    ASSERT_TRUE(driver.AwaitPrompts(1));
    ASSERT_TRUE(driver.Type(keptCase.typedBefore));
    driver.Signal(keptCase.number);
    // Typed before rpn has dropped the line, the next keys could be
    // dropped with it.
    ASSERT_TRUE(keptCase.abandons ? driver.AwaitPrompts(2) : driver.AwaitReading());
    ASSERT_TRUE(driver.Type(keptCase.typedAfter));
    ASSERT_TRUE(driver.AwaitScreen("result = 3.000000\r\n"));
    ASSERT_TRUE(driver.AwaitReading());
    ASSERT_TRUE(driver.Type("quit\n"));
    const TerminalSession session = driver.Finish();
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_NE(session.screen.find("rpn ended with 0\r\n"), std::string::npos) << session.screen;
    EXPECT_EQ(session.screen.find("Invalid character"), std::string::npos) << session.screen;
    EXPECT_EQ(session.screen.find("warning"), std::string::npos) << session.screen;
    EXPECT_EQ(session.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, KeptSession,
    testing::Values(
        // Sent with kill, not typed: the shell must not get it too, and the
        // keys of the abandoned line must not start the next one.
        KeptCase{"InterruptAbandonsTheLine", "", SIGINT, "3 4 ?", true, "1 2 +\n"},
        KeptCase{"ResizedWindowKeepsTheLine", "", SIGWINCH, "1 2", false, " +\n"},
        // As nohup leaves it.
        KeptCase{"IgnoredHangupStaysIgnored", "trap '' HUP; ", SIGHUP, "1 2", false, " +\n"},
        KeptCase{"IgnoredTerminateStaysIgnored", "trap '' TERM; ", SIGTERM, "1 2", false, " +\n"}),
    [](const testing::TestParamInfo<KeptCase> &info) { return std::string(info.param.name); });

// The editor shows the line typed so far again, and it goes on.
constexpr char kTypedAfterStop[] = "2 +\n";

// Ctrl-Z under a shell with job control: the shell gets the terminal in its
// own mode while rpn is stopped; after fg the prompt is back, and the line
// on the screen is the line evaluated.
TEST(Signals, StopGivesTheTerminalBackUntilContinued)
{
    TerminalDriver driver("set -m; stty -g; \"$RPN\"; echo \"rpn stopped with $?\"; stty -g; fg; "
                          "echo \"rpn ended with $?\"");
    ASSERT_TRUE(driver.AwaitPrompts(1));
    ASSERT_TRUE(driver.Type("1 "));
    driver.Signal(SIGTSTP);
    ASSERT_TRUE(driver.AwaitScreen("rpn stopped with 148\r\n"));
    ASSERT_TRUE(driver.AwaitReading());
    ASSERT_TRUE(driver.AwaitScreen("\r\nrpn> "));
    ASSERT_TRUE(driver.Type(kTypedAfterStop));
    const std::string evaluated = "\r\nrpn> 1 2 +\r\nresult = 3.000000\r\n";
    ASSERT_TRUE(driver.AwaitReading());
    ASSERT_TRUE(driver.Type("quit\n"));
    const TerminalSession session = driver.Finish();
    ASSERT_TRUE(session.answered) << session.screen;
    const std::string before = FirstLine(session.screen);
    EXPECT_NE(before.find(':'), std::string::npos) << session.screen;
    EXPECT_EQ(LineAfter(session.screen, "rpn stopped with 148\r\n"), before) << session.screen;
    EXPECT_NE(session.screen.find(evaluated), std::string::npos) << session.screen;
    EXPECT_NE(session.screen.find("rpn ended with 0\r\n"), std::string::npos) << session.screen;
    EXPECT_EQ(session.screen.find("warning"), std::string::npos) << session.screen;
    EXPECT_EQ(session.status, 0);
}

}  // namespace
