// The prompt's history as people meet it: sessions at once on one file,
// links, files that are no history, writes cut short, entries of several
// lines.
#include "live_terminal.h"
#include "scratch_directory.h"
#include "terminal_session.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A session that does not hang at a history shows its prompt at once; a
// second is far more than it takes.
constexpr auto kPromptAtOnce = 1s;

std::string Contents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file ? text.str() : "(no file)";
}

std::string Numbered(int first, int last)
{
    std::string text;
    for (int i = first; i < last; ++i) {
        text += std::to_string(i) + "\n";
    }
    return text;
}

// The first line of a history rpn wrote; only such a file is trimmed.
const std::string kOwn = "# rpn history\n";

std::string Refusal(const std::string &path, const std::string &reason)
{
    return "rpn: cannot keep history: " + path + ": " + reason + " (RPN_HISTFILE= turns history off)\n";
}

class HistoryKeeping : public ScratchDirectoryTest {
protected:
    std::string Path() const { return root_ + "/history"; }

    static TerminalSetup With(const std::string &path, const std::string &term = "dumb")
    {
        TerminalSetup setup;
        setup.term = term;
        setup.environment = {{"RPN_HISTFILE", path}};
        return setup;
    }

    TerminalSession Run(const std::vector<std::string> &keys, const std::string &term = "dumb") const
    {
        TerminalSetup setup = With(Path(), term);
        setup.keystrokes = keys;
        return RunOnTerminal(setup);
    }
};

struct SharedCase {
    const char *name;
    std::string before;
    std::string after;
};

void PrintTo(const SharedCase &sharedCase, std::ostream *os)
{
    *os << sharedCase.name;
}

class SharedHistory : public HistoryKeeping, public testing::WithParamInterface<SharedCase> {
};

// The second session starts while the first is at its prompt: whatever the
// second does to the file, the first one's later entries land in it.
TEST_P(SharedHistory, TwoSessionsAtOnceKeepEveryEntry)
{
    std::ofstream(Path(), std::ios::binary) << GetParam().before;
    LiveTerminal first(With(Path()));
    ASSERT_TRUE(first.Type("22 22 +\n"));
    ASSERT_TRUE(first.AwaitPrompt());
    LiveTerminal second(With(Path()));
    ASSERT_TRUE(second.Type("44 44 +\n"));
    // The next prompt comes once the entry is written.
    ASSERT_TRUE(second.AwaitPrompt());
    ASSERT_TRUE(first.Type("66 66 +\n"));
    ASSERT_TRUE(first.AwaitPrompt());
    ASSERT_TRUE(second.Type("quit\n"));
    ASSERT_TRUE(first.Type("quit\n"));
    const TerminalSession firstEnd = first.Finish();
    const TerminalSession secondEnd = second.Finish();
    EXPECT_EQ(Contents(Path()), GetParam().after + "22 22 +\n44 44 +\n66 66 +\n");
    EXPECT_NE(firstEnd.screen.find("result = 132.000000"), std::string::npos) << firstEnd.screen;
    EXPECT_EQ(firstEnd.err, "");
    EXPECT_EQ(secondEnd.err, "");
    EXPECT_EQ(firstEnd.status, 0);
    EXPECT_EQ(secondEnd.status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, SharedHistory,
    testing::Values(SharedCase{"Short", "1\n", "1\n"},
                    // The first session's entry takes the file past the point
                    // where the second trims it to the newest thousand.
                    SharedCase{"TrimmedMeanwhile", kOwn + Numbered(0, 2000), kOwn + Numbered(1001, 2000)}),
    [](const testing::TestParamInfo<SharedCase> &info) { return std::string(info.param.name); });

TEST_F(HistoryKeeping, SymbolicLinkStaysALinkWithItsMode)
{
    const std::string target = root_ + "/kept";
    std::ofstream(target, std::ios::binary) << kOwn + Numbered(0, 2001);
    ASSERT_EQ(chmod(target.c_str(), 0644), 0);
    ASSERT_EQ(symlink("kept", Path().c_str()), 0);
    const TerminalSession session = Run({"1 2 +\n", "quit\n"});
    ASSERT_TRUE(session.answered) << session.screen;
    struct stat link {};
    ASSERT_EQ(lstat(Path().c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    struct stat kept {};
    ASSERT_EQ(stat(target.c_str(), &kept), 0);
    EXPECT_EQ(kept.st_mode & 07777, 0644u);
    EXPECT_EQ(Contents(target), kOwn + Numbered(1001, 2001) + "1 2 +\n");
    EXPECT_EQ(session.err, "");
}

// Nothing is written beside the history, so a link planted there leads
// nowhere, even while the history is trimmed.
TEST_F(HistoryKeeping, LinkPlantedBesideTheHistoryIsNeverFollowed)
{
    const std::string victim = root_ + "/victim";
    std::ofstream(victim, std::ios::binary) << "precious\n";
    ASSERT_EQ(symlink(victim.c_str(), (Path() + ".new").c_str()), 0);
    std::ofstream(Path(), std::ios::binary) << kOwn + Numbered(0, 2001);
    const TerminalSession session = Run({"1 2 +\n", "quit\n"});
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(Contents(victim), "precious\n");
    EXPECT_EQ(Contents(Path()), kOwn + Numbered(1001, 2001) + "1 2 +\n");
    EXPECT_EQ(session.err, "");
}

// A history that is a link to a file not there yet (a dotfile manager's)
// gets its file where the link points, as a shell's HISTFILE does.
TEST_F(HistoryKeeping, LinkToNothingGetsItsFile)
{
    const std::string missing = root_ + "/missing";
    ASSERT_EQ(symlink(missing.c_str(), Path().c_str()), 0);
    const TerminalSession session = Run({"1 2 +\n", "quit\n"});
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(Contents(missing), kOwn + "1 2 +\n");
    EXPECT_EQ(session.err, "");
    EXPECT_EQ(session.status, 0);
}

struct NotAHistoryCase {
    const char *name;
    // Makes the history at the path given, or names one of its own.
    std::string (*make)(const std::string &path);
    std::string reason;
};

void PrintTo(const NotAHistoryCase &notAHistory, std::ostream *os)
{
    *os << notAHistory.name;
}

class NotAHistory : public HistoryKeeping, public testing::WithParamInterface<NotAHistoryCase> {
};

// Reported once; the prompt comes at once and the session goes on.
TEST_P(NotAHistory, IsReportedAndTheSessionGoesOn)
{
    const std::string path = GetParam().make(Path());
    ASSERT_FALSE(path.empty());
    LiveTerminal live(With(path));
    ASSERT_TRUE(live.Type("3 4 +\n", kPromptAtOnce));
    ASSERT_TRUE(live.Type("5 6 +\n"));
    ASSERT_TRUE(live.Type("quit\n"));
    const TerminalSession session = live.Finish();
    EXPECT_NE(session.screen.find("result = 11.000000"), std::string::npos) << session.screen;
    EXPECT_EQ(session.err, Refusal(path, GetParam().reason));
    EXPECT_EQ(session.status, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NotAHistory,
    testing::Values(
        // Reading one would wait for a writer that never comes.
        NotAHistoryCase{"Fifo",
                        [](const std::string &path) { return mkfifo(path.c_str(), 0600) == 0 ? path : ""; },
                        "not a regular file"},
        // Reading it would fill memory.
        NotAHistoryCase{"EndlessDevice", [](const std::string &) { return std::string("/dev/zero"); },
                        "not a regular file"},
        NotAHistoryCase{"Directory",
                        [](const std::string &path) { return mkdir(path.c_str(), 0700) == 0 ? path : ""; },
                        "Is a directory"}),
    [](const testing::TestParamInfo<NotAHistoryCase> &info) { return std::string(info.param.name); });

// A file rpn did not start, given as its history: every line stays, the
// entry is appended, and a note says why the file is not trimmed.
TEST_F(HistoryKeeping, NotesGivenAsTheHistoryKeepEveryLine)
{
    const std::string notes = Numbered(1, 3001);
    std::ofstream(Path(), std::ios::binary) << notes;
    const TerminalSession session = Run({"1 2 +\n", "quit\n"});
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(Contents(Path()), notes + "1 2 +\n");
    EXPECT_EQ(session.err, "rpn: " + Path() +
                               ": not trimmed to its newest 1000 entries: its first line is not \"# rpn history\", "
                               "so rpn did not write it; entries are only appended\n");
    EXPECT_EQ(session.status, 0);
}

// Taken from the directory rpn starts in, and said once.
TEST_F(HistoryKeeping, RelativePathIsTakenFromTheStartDirectoryAndSaid)
{
    TerminalSetup setup = With("notes.txt");
    setup.directory = root_;
    setup.keystrokes = {"1 2 +\n", "3 4 +\n", "quit\n"};
    const TerminalSession session = RunOnTerminal(setup);
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(session.err, "rpn: RPN_HISTFILE=notes.txt is relative: the history is in the directory rpn started in\n");
    EXPECT_EQ(Contents(root_ + "/notes.txt"), kOwn + "1 2 +\n3 4 +\n");
}

// A write cut short (a full disk, a kill) leaves the last line unfinished.
TEST_F(HistoryKeeping, UnfinishedLastLineIsNotJoinedToTheNextEntry)
{
    std::ofstream(Path(), std::ios::binary) << "1 2 +\n3 4";
    const TerminalSession session = Run({"5 6 +\n", "7 8 +\n", "quit\n"});
    ASSERT_TRUE(session.answered) << session.screen;
    EXPECT_EQ(Contents(Path()), "1 2 +\n3 4\n5 6 +\n7 8 +\n");
    EXPECT_EQ(session.err, "");
}

// Ctrl-V and Return put a line break into the line; the entry is written
// as it is and comes back as its two lines, the second the newest.
TEST_F(HistoryKeeping, EntryWithALineBreakComesBackAsTwoLines)
{
    const TerminalSession typed = Run({"1 2\x16\r+\n", "quit\n"});
    ASSERT_TRUE(typed.answered) << typed.screen;
    EXPECT_NE(typed.err.find("'\\n+' after the number 2 is skipped"), std::string::npos) << typed.err;
    EXPECT_EQ(Contents(Path()), kOwn + "1 2\n+\n");
    const TerminalSession recalled = Run({"\x1b[A\x1b[A\n", "quit\n"}, "xterm");
    ASSERT_TRUE(recalled.answered) << recalled.screen;
    EXPECT_NE(recalled.screen.find("result = 2.000000"), std::string::npos) << recalled.screen;
    EXPECT_EQ(Contents(Path()), kOwn + "1 2\n+\n1 2\n");
}

}  // namespace
