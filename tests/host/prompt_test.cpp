// The prompt's own features: where it writes, help, history and the bytes
// typed in any locale.
#include "host_case.h"
#include "scratch_directory.h"
#include "terminal_session.h"

#include <kelvaro/rpn.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string ScreenLine(const std::string &line)
{
    return line + "\r\n";
}

TEST(Prompt, StaysOnTheTerminalWhenOutputIsRedirected)
{
    TerminalSetup setup;
    setup.keystrokes = {"3 4 +\n", "1 2 @\n", "quit\n"};
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(PromptsShown(session.screen), 3u) << session.screen;
    EXPECT_EQ(session.screen.find("result"), std::string::npos) << session.screen;
    EXPECT_NE(session.screen.find("stack: 7.000000 1.000000 2.000000\r\n"), std::string::npos)
        << session.screen;
    // The 7 stays on the stack below the second line's values.
    EXPECT_EQ(session.out,
              "result = 7.000000\n\n---------\n2.000000\n1.000000\n7.000000\n---------\nresult = 2.000000\n");
    EXPECT_EQ(session.status, 0);
}

// Line N of standard output answers line N typed, a failed one too.
TEST(Prompt, QuietGivesOneLinePerExpression)
{
    TerminalSetup setup;
    setup.arguments = {"-q"};
    setup.keystrokes = {"3 4 +\n", "3 ?\n", "2 L\n", "\x04"};
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.out, "7.000000\n\n7.389056\n");
    EXPECT_EQ(session.err, "Invalid character: '?'\nrpn: -:2:3: invalid character '?'\n3 ?\n  ^\n");
    EXPECT_EQ(session.status, 0);
}

TEST(Prompt, HelpListsEveryCommandAndThePromptsOwn)
{
    TerminalSetup setup;
    setup.keystrokes = {" help \n", "quit\n"};
    setup.redirectOutput = true;
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    std::size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool visible = std::isgraph(static_cast<unsigned char>(commands[i].byte)) != 0;
        const std::string row = std::string("\r\n  ") + (visible ? commands[i].byte : ' ') + "  " +
                                commands[i].name + ": " + commands[i].meaning;
        EXPECT_NE(session.screen.find(row), std::string::npos) << row << " in\n" << session.screen;
    }
    for (const char *own : {"  help  ", "  quit, exit  ", "  Ctrl-C  ", "\n  stack  ", "\n  clear  ",
                            "\n  undo  ", "\n  redo  "}) {
        EXPECT_NE(session.screen.find(own), std::string::npos) << own;
    }
    // The whole of rpn --help, the options too, as the terminal shows it.
    std::string help;
    for (const char c : RunProgram({"--help"}).out) {
        help += c == '\n' ? "\r\n" : std::string(1, c);
    }
    EXPECT_NE(session.screen.find(" help \r\n" + help + "rpn> "), std::string::npos) << session.screen;
    EXPECT_EQ(session.out, "");
    EXPECT_EQ(session.err, "");
}

// The lines from where the prompt's commands are introduced up to the first
// that is not a row.
std::string PromptRows(const std::string &text)
{
    const std::size_t start = text.find("At the prompt the stack is kept");
    if (start == std::string::npos) {
        return "(none)";
    }
    std::size_t end = text.find("\n  ", start);
    while (end != std::string::npos && text.compare(end, 3, "\n  ") == 0) {
        end = text.find('\n', end + 1);
    }
    return text.substr(start, end - start);
}

std::string WithoutCarriageReturns(std::string text)
{
    for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at)) {
        text.erase(at, 1);
    }
    return text;
}

TEST(Prompt, HelpThereAndRpnHelpDescribeTheSameCommands)
{
    TerminalSetup setup;
    setup.keystrokes = {"help\n", "quit\n"};
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    const std::string atThePrompt = PromptRows(WithoutCarriageReturns(session.screen));
    EXPECT_NE(atThePrompt.find("\n  undo        "), std::string::npos) << atThePrompt;
    EXPECT_EQ(atThePrompt, PromptRows(RunProgram({"--help"}).out));
}

struct KeyCase {
    const char *name;
    const char *locale;
    std::string keys;
    std::string message;
    std::string err;
};

void PrintTo(const KeyCase &keyCase, std::ostream *os)
{
    *os << keyCase.name;
}

class TypedBytes : public testing::TestWithParam<KeyCase> {
};

// Whatever the locale makes of them, the bytes typed are the bytes
// evaluated (with libedit, those of the characters typed).
TEST_P(TypedBytes, ReachTheEvaluatorUnchanged)
{
    const KeyCase &keyCase = GetParam();
    TerminalSetup setup;
    setup.keystrokes = {keyCase.keys, "quit\n"};
    setup.environment = {{"LC_ALL", std::string(keyCase.locale)}};
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_NE(session.screen.find(ScreenLine(keyCase.message)), std::string::npos) << session.screen;
    EXPECT_EQ(session.err, keyCase.err);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TypedBytes,
    testing::Values(
        KeyCase{"Utf8InTheCLocale", "C", "3 \xC3\xA9\n", "Invalid character: '\xC3'",
                "rpn: -:1:4: warning: '\\xa9' after '\\xc3' is skipped (only a token's first byte counts)\n"
                "rpn: -:1:3: invalid character '\\xc3'\n3 \xC3\xA9\n  ^\n"},
        KeyCase{"Utf8InAUtf8Locale", "C.UTF-8", "1 \xE2\x82\xAC\n", "Invalid character: '\xE2'",
                "rpn: -:1:4: warning: '\\x82\\xac' after '\\xe2' is skipped (only a token's first byte counts)\n"
                "rpn: -:1:3: invalid character '\\xe2'\n1 \xE2\x82\xAC\n  ^\n"}),
    [](const testing::TestParamInfo<KeyCase> &info) { return std::string(info.param.name); });

const KeyCase kNotUtf8[] = {
    // libedit takes characters: bytes that are no UTF-8 reach the
        // evaluator as U+FFFD, still an invalid character.
        KeyCase{"Latin1InAUtf8Locale", "C.UTF-8", "2 \xE9\n", "Invalid character: '\xEF'",
                "rpn: -:1:4: warning: '\\xbf\\xbd' after '\\xef' is skipped (only a token's first byte counts)\n"
                "rpn: -:1:3: invalid character '\\xef'\n2 \xEF\xBF\xBD\n  ^\n"},
        KeyCase{"BrokenSequences", "C.UTF-8", "\xE2\x82 \x82\n", "Invalid character: '\xEF'",
                "rpn: -:1:2: warning: '\\xbf\\xbd' after '\\xef' is skipped (only a token's first byte counts)\n"
                "rpn: -:1:6: warning: '\\xbf\\xbd' after '\\xef' is skipped (only a token's first byte counts)\n"
                "rpn: -:1:1: invalid character '\\xef'\n\xEF\xBF\xBD \xEF\xBF\xBD\n^\n"},
};

INSTANTIATE_TEST_SUITE_P(
    NotUtf8, TypedBytes, testing::ValuesIn(kNotUtf8),
    [](const testing::TestParamInfo<KeyCase> &info) { return std::string(info.param.name); });

// A scratch directory for a session's home and state.
class History : public ScratchDirectoryTest {
protected:
    static TerminalSession Session(const std::vector<std::string> &keys,
                            std::vector<std::pair<std::string, std::optional<std::string>>> environment,
                            const std::string &term = "dumb")
    {
        TerminalSetup setup;
        setup.keystrokes = keys;
        setup.term = term;
        setup.environment = std::move(environment);
        return RunOnTerminal(setup);
    }

    static std::string Contents(const std::string &path)
    {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return file ? text.str() : "(no file)";
    }
};

struct HistoryPlace {
    const char *name;
    // Relative to the scratch directory; "ROOT" stands for it in values.
    std::vector<std::pair<std::string, std::optional<std::string>>> environment;
    std::string file;
};

class HistoryPlaces : public History, public testing::WithParamInterface<HistoryPlace> {
};

TEST_P(HistoryPlaces, LinesAreWrittenThere)
{
    std::vector<std::pair<std::string, std::optional<std::string>>> environment;
    for (const auto &[name, value] : GetParam().environment) {
        std::optional<std::string> resolved = value;
        if (resolved && resolved->rfind("ROOT", 0) == 0) {
            resolved = root_ + resolved->substr(4);
        }
        environment.emplace_back(name, resolved);
    }
    const TerminalSession session = Session({"1 2 +\n", "\n", "3 ?\n", "help\n", "quit\n"}, environment);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(Contents(root_ + "/" + GetParam().file), "# rpn history\n1 2 +\n3 ?\nhelp\n");
    EXPECT_EQ(session.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HistoryPlaces,
    testing::Values(
        HistoryPlace{"StateHome",
                     {{"RPN_HISTFILE", std::nullopt}, {"XDG_STATE_HOME", "ROOT/state"}, {"HOME", "ROOT/home"}},
                     "state/rpn/history"},
        HistoryPlace{"HomeWithoutStateHome",
                     {{"RPN_HISTFILE", std::nullopt}, {"XDG_STATE_HOME", std::nullopt}, {"HOME", "ROOT/home"}},
                     "home/.local/state/rpn/history"},
        // The XDG rules ignore a relative XDG_STATE_HOME.
        HistoryPlace{"RelativeStateHomeIgnored",
                     {{"RPN_HISTFILE", std::nullopt}, {"XDG_STATE_HOME", "state"}, {"HOME", "ROOT/home"}},
                     "home/.local/state/rpn/history"},
        HistoryPlace{"ChosenFile",
                     {{"RPN_HISTFILE", "ROOT/mine"}, {"XDG_STATE_HOME", "ROOT/state"}},
                     "mine"}),
    [](const testing::TestParamInfo<HistoryPlace> &info) { return std::string(info.param.name); });

class HistoryOff : public History, public testing::WithParamInterface<const char *> {};

// Both ask for no history: nothing is created, nothing reported, status 0.
TEST_P(HistoryOff, KeepsNone)
{
    const TerminalSession session = Session(
        {"1 2 +\n", "quit\n"},
        {{"RPN_HISTFILE", GetParam()}, {"XDG_STATE_HOME", root_ + "/state"}, {"HOME", root_ + "/home"}});
    ASSERT_TRUE(session.answered) << session.screen;
    struct stat info {};
    EXPECT_NE(stat((root_ + "/state").c_str(), &info), 0);
    EXPECT_NE(stat((root_ + "/home").c_str(), &info), 0);
    EXPECT_EQ(session.err, "");
    EXPECT_EQ(session.status, 0);
}

INSTANTIATE_TEST_SUITE_P(SetEmptyOrDevNull, HistoryOff, testing::Values("", "/dev/null"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             return info.param[0] == '\0' ? std::string("Empty") : std::string("DevNull");
                         });

// The session goes on without saving; the failure shows in the status.
TEST_F(History, FileThatCannotBeKeptIsReported)
{
    const TerminalSession session = Session({"1 2 +\n", "quit\n"}, {{"RPN_HISTFILE", root_}});
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_NE(session.screen.find("result = 3.000000"), std::string::npos) << session.screen;
    EXPECT_EQ(session.err, "rpn: cannot keep history: " + root_ +
                               ": Is a directory (RPN_HISTFILE= turns history off)\n");
    EXPECT_EQ(session.status, 3);
}

// The file is cut back to the newest thousand only once it holds more than
// twice that: most sessions only read it.
// Of a history rpn started (its first line says so).
TEST_F(History, KeepsTheNewestThousandLines)
{
    std::string older = "# rpn history\n";
    for (int i = 0; i < 2001; ++i) {
        older += std::to_string(i) + "\n";
    }
    const std::string path = root_ + "/history";
    std::ofstream(path, std::ios::binary) << older;
    const TerminalSession session = Session({"quit\n"}, {{"RPN_HISTFILE", path}});
    ASSERT_TRUE(session.answered) << session.screen;
    const std::string kept = Contents(path);
    EXPECT_EQ(kept, "# rpn history\n" + older.substr(older.find("\n1001\n") + 1));
}

TEST_F(History, LeavesAFileOfUpToTwoThousandLinesWhole)
{
    std::string older;
    for (int i = 0; i < 2000; ++i) {
        older += std::to_string(i) + "\n";
    }
    const std::string path = root_ + "/history";
    std::ofstream(path, std::ios::binary) << older;
    const TerminalSession session = Session({"quit\n"}, {{"RPN_HISTFILE", path}});
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(Contents(path), older);
}

TEST_F(History, ArrowKeysReachEarlierSessions)
{
    const std::vector<std::pair<std::string, std::optional<std::string>>> environment = {
        {"RPN_HISTFILE", root_ + "/history"}};
    ASSERT_TRUE(Session({"6 7 *\n", "\xC3\xA9\n", "quit\n"}, environment).answered);
    // Up twice: the first session's first line; then up twice again past
    // that line, now the newest, to its second.
    const TerminalSession later =
        Session({"\x1b[A\x1b[A\n", "\x1b[A\x1b[A\n", "quit\n"}, environment, "xterm");
    ASSERT_TRUE(later.answered) << later.screen;
    EXPECT_NE(later.screen.find("result = 42.000000"), std::string::npos) << later.screen;
    // The bytes of a recalled line are the bytes once typed.
    EXPECT_EQ(later.err, "rpn: -:2:2: warning: '\\xa9' after '\\xc3' is skipped (only a token's first byte counts)\n"
                         "rpn: -:2:1: invalid character '\\xc3'\n\xC3\xA9\n^\n");
}

}  // namespace
