// The history file on its own: what it reads, what it writes, what it
// refuses, and sessions that share it.
#include "history_file.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The first line of a history rpn wrote; only such a file is trimmed.
const std::string kOwn = "# rpn history\n";

std::string Contents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file ? text.str() : "(no file)";
}

void Write(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Lines "FIRST\n" up to "LAST - 1\n".
std::string Numbered(int first, int last)
{
    std::string text;
    for (int i = first; i < last; ++i) {
        text += std::to_string(i) + "\n";
    }
    return text;
}

std::vector<std::string> NumberedEntries(int first, int last)
{
    std::vector<std::string> entries;
    for (int i = first; i < last; ++i) {
        entries.push_back(std::to_string(i));
    }
    return entries;
}

struct stat StatOf(const std::string &path)
{
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
}

class HistoryFileTest : public ScratchDirectoryTest {
protected:
    std::string Path() const { return root_ + "/history"; }
};

TEST_F(HistoryFileTest, MissingFileIsCreatedPrivateAndEmpty)
{
    HistoryFile history(root_ + "/state/rpn/history");
    EXPECT_EQ(history.Load(), std::vector<std::string>{});
    EXPECT_EQ(history.failure(), "");
    EXPECT_EQ(Contents(root_ + "/state/rpn/history"), kOwn);
    EXPECT_EQ(StatOf(root_ + "/state/rpn/history").st_mode & 07777, 0600u);
    EXPECT_EQ(StatOf(root_ + "/state/rpn").st_mode & 07777, 0700u);
}

// Written as they were typed: a backslash stays one, and a line break
// inside an entry ends a line.
TEST_F(HistoryFileTest, EntriesComeBackInTheNextSessionAsWritten)
{
    {
        HistoryFile history(Path());
        history.Load();
        for (const char *entry : {"1 2 +", "3\n4 *", "5 \\ 6", "\\n"}) {
            history.Append(entry);
        }
        EXPECT_EQ(history.failure(), "");
    }
    EXPECT_EQ(Contents(Path()), kOwn + "1 2 +\n3\n4 *\n5 \\ 6\n\\n\n");
    HistoryFile later(Path());
    EXPECT_EQ(later.Load(), (std::vector<std::string>{"1 2 +", "3", "4 *", "5 \\ 6", "\\n"}));
}

TEST_F(HistoryFileTest, UnfinishedLastLineIsNeverJoinedToTheNext)
{
    Write(Path(), "1 2\n3 4");
    HistoryFile history(Path());
    EXPECT_EQ(history.Load(), (std::vector<std::string>{"1 2", "3 4"}));
    history.Append("5 6 +");
    history.Append("7 8 +");
    EXPECT_EQ(Contents(Path()), "1 2\n3 4\n5 6 +\n7 8 +\n");
}

struct LengthCase {
    const char *name;
    std::string text;
    std::vector<std::string> loaded;
    // What the file holds after the loading.
    std::string kept;
};

void PrintTo(const LengthCase &lengthCase, std::ostream *os)
{
    *os << lengthCase.name;
}

class HistoryLengths : public HistoryFileTest, public testing::WithParamInterface<LengthCase> {
};

TEST_P(HistoryLengths, NewestAreLoadedAndTheFileTrimmedInPlace)
{
    Write(Path(), kOwn + GetParam().text);
    const ino_t inode = StatOf(Path()).st_ino;
    HistoryFile history(Path());
    EXPECT_EQ(history.Load(), GetParam().loaded);
    EXPECT_EQ(history.failure(), "");
    EXPECT_EQ(history.note(), "");
    EXPECT_EQ(Contents(Path()), kOwn + GetParam().kept);
    EXPECT_EQ(StatOf(Path()).st_ino, inode);
}

const std::string kLongLine(2000, '7');

INSTANTIATE_TEST_SUITE_P(
    Lengths, HistoryLengths,
    testing::Values(
        LengthCase{"Short", Numbered(0, 3), NumberedEntries(0, 3), Numbered(0, 3)},
        // Past what is recalled but not yet worth a rewrite.
        LengthCase{"OverAThousand", Numbered(0, 1005), NumberedEntries(5, 1005), Numbered(0, 1005)},
        LengthCase{"TwoThousand", Numbered(0, 2000), NumberedEntries(1000, 2000), Numbered(0, 2000)},
        LengthCase{"OverTwoThousand", Numbered(0, 2001), NumberedEntries(1001, 2001), Numbered(1001, 2001)},
        LengthCase{"OverAMegabyte", Numbered(0, 200000), NumberedEntries(199000, 200000),
                   Numbered(199000, 200000)},
        // Long in bytes but not in lines: nothing to trim.
        LengthCase{"LongEntries", std::string(3 << 20, 'x') + "\n" + kLongLine + "\n",
                   {std::string(3 << 20, 'x'), kLongLine}, std::string(3 << 20, 'x') + "\n" + kLongLine + "\n"},
        LengthCase{"TrimmedWithAnUnfinishedLine", Numbered(0, 2001) + "9 9",
                   [] {
                       std::vector<std::string> entries = NumberedEntries(1002, 2001);
                       entries.push_back("9 9");
                       return entries;
                   }(),
                   Numbered(1002, 2001) + "9 9"}),
    [](const testing::TestParamInfo<LengthCase> &info) { return std::string(info.param.name); });

struct ForeignCase {
    const char *name;
    std::string text;
    std::vector<std::string> loaded;
    // Whether a note says why it is left whole; not when it is too short
    // to be trimmed anyway.
    bool noted;
};

void PrintTo(const ForeignCase &foreignCase, std::ostream *os)
{
    *os << foreignCase.name;
}

class ForeignHistories : public HistoryFileTest, public testing::WithParamInterface<ForeignCase> {
};

// Not started by rpn: recalled and appended to, every line of it kept.
TEST_P(ForeignHistories, AreNeverShortened)
{
    Write(Path(), GetParam().text);
    HistoryFile history(Path());
    EXPECT_EQ(history.Load(), GetParam().loaded);
    history.Append("1 2 +");
    EXPECT_EQ(history.failure(), "");
    EXPECT_EQ(history.note(),
              GetParam().noted ? Path() +
                                     ": not trimmed to its newest 1000 entries: its first line is not \"# rpn "
                                     "history\", so rpn did not write it; entries are only appended"
                               : "");
    EXPECT_EQ(Contents(Path()), GetParam().text + "1 2 +\n");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ForeignHistories,
    testing::Values(ForeignCase{"Notes", Numbered(1, 3001), NumberedEntries(2001, 3001), true},
                    ForeignCase{"OverAMegabyte", Numbered(0, 200000), NumberedEntries(199000, 200000), true},
                    ForeignCase{"Short", Numbered(0, 3), NumberedEntries(0, 3), false},
                    // The marker counts only as the first line.
                    ForeignCase{"MarkerLater", "1\n" + kOwn + Numbered(0, 2500), NumberedEntries(1500, 2500), true},
                    // Near enough is not the marker.
                    ForeignCase{"MarkerMisspelt", "# rpn histories\n" + Numbered(0, 2500),
                                NumberedEntries(1500, 2500), true}),
    [](const testing::TestParamInfo<ForeignCase> &info) { return std::string(info.param.name); });

// Its marker is no entry, however short or long the file.
TEST_F(HistoryFileTest, OwnMarkerIsNeverRecalled)
{
    Write(Path(), kOwn + "3 4 +\n");
    HistoryFile history(Path());
    EXPECT_EQ(history.Load(), std::vector<std::string>{"3 4 +"});
    Write(Path(), kOwn);
    HistoryFile empty(Path());
    EXPECT_EQ(empty.Load(), std::vector<std::string>{});
    EXPECT_EQ(Contents(Path()), kOwn);
}

// The first session's entry takes the file past the trimming point, so the
// second trims it while the first is still writing to it.
TEST_F(HistoryFileTest, TwoSessionsKeepEveryEntry)
{
    Write(Path(), kOwn + Numbered(0, 2000));
    const ino_t inode = StatOf(Path()).st_ino;
    HistoryFile first(Path());
    EXPECT_EQ(first.Load().size(), 1000u);
    EXPECT_EQ(Contents(Path()), kOwn + Numbered(0, 2000));
    first.Append("22 22 +");
    HistoryFile second(Path());
    EXPECT_EQ(second.Load().back(), "22 22 +");
    second.Append("44 44 +");
    first.Append("66 66 +");
    EXPECT_EQ(first.failure(), "");
    EXPECT_EQ(second.failure(), "");
    EXPECT_EQ(Contents(Path()), kOwn + Numbered(1001, 2000) + "22 22 +\n44 44 +\n66 66 +\n");
    EXPECT_EQ(StatOf(Path()).st_ino, inode);
}

// Processes that append while another trims, again and again: a trim may
// drop only the oldest, so the entries left of each process are its newest,
// in order, with none missing between them.
TEST_F(HistoryFileTest, AppendsFromManyProcessesSurviveRepeatedTrims)
{
    constexpr int kAppenders = 3;
    constexpr int kEntriesEach = 1000;
    constexpr int kTrims = 150;
    const std::string seedLine = "x";
    std::string seed = kOwn;
    for (int i = 0; i < 2001; ++i) {
        seed += seedLine + "\n";
    }
    Write(Path(), seed);
    std::vector<pid_t> children;
    for (int child = 0; child <= kAppenders; ++child) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool failed = false;
            if (child == kAppenders) {
                for (int i = 0; i < kTrims; ++i) {
                    HistoryFile trimmer(Path());
                    trimmer.Load();
                    failed = failed || !trimmer.failure().empty();
                }
            } else {
                HistoryFile history(Path());
                history.Load();
                for (int i = 0; i < kEntriesEach; ++i) {
                    history.Append(std::to_string(child) + " " + std::to_string(i) + " +");
                }
                failed = !history.failure().empty();
            }
            _exit(failed ? 1 : 0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    std::vector<int> next(kAppenders, -1);
    std::istringstream lines(Contents(Path()));
    for (std::string line; std::getline(lines, line);) {
        if (line == seedLine || line + "\n" == kOwn) {
            continue;
        }
        const int child = line[0] - '0';
        ASSERT_TRUE(child >= 0 && child < kAppenders) << line;
        if (next[child] < 0) {
            next[child] = std::stoi(line.substr(2));
        }
        EXPECT_EQ(line, std::to_string(child) + " " + std::to_string(next[child]) + " +");
        ++next[child];
    }
    // A process that finished early may have had all its entries trimmed
    // away, never only its newest.
    for (const int end : next) {
        EXPECT_TRUE(end == -1 || end == kEntriesEach) << end;
    }
    EXPECT_NE(std::count(next.begin(), next.end(), kEntriesEach), 0);
}

TEST_F(HistoryFileTest, SymbolicLinkStaysALinkAndItsTargetKeepsItsMode)
{
    const std::string target = root_ + "/target";
    Write(target, kOwn + Numbered(0, 2500));
    ASSERT_EQ(chmod(target.c_str(), 0644), 0);
    ASSERT_EQ(symlink("target", Path().c_str()), 0);
    HistoryFile history(Path());
    EXPECT_EQ(history.Load().size(), 1000u);
    history.Append("1 2 +");
    EXPECT_EQ(history.failure(), "");
    struct stat link {};
    ASSERT_EQ(lstat(Path().c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_EQ(StatOf(target).st_mode & 07777, 0644u);
    EXPECT_EQ(Contents(target), kOwn + Numbered(1500, 2500) + "1 2 +\n");
}

// The file is made where the link points, private, and the link stays.
TEST_F(HistoryFileTest, LinkToNothingGetsItsFile)
{
    ASSERT_EQ(symlink((root_ + "/elsewhere").c_str(), Path().c_str()), 0);
    HistoryFile history(Path());
    EXPECT_EQ(history.Load(), std::vector<std::string>{});
    history.Append("1 2 +");
    EXPECT_EQ(history.failure(), "");
    EXPECT_EQ(Contents(root_ + "/elsewhere"), kOwn + "1 2 +\n");
    EXPECT_EQ(StatOf(root_ + "/elsewhere").st_mode & 07777, 0600u);
    struct stat link {};
    ASSERT_EQ(lstat(Path().c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
}

struct RefusedCase {
    const char *name;
    // Made in the scratch directory; "" for `path` as it is.
    void (*make)(const std::string &path);
    std::string path;
    std::string reason;
};

void PrintTo(const RefusedCase &refusedCase, std::ostream *os)
{
    *os << refusedCase.name;
}

class RefusedHistories : public HistoryFileTest, public testing::WithParamInterface<RefusedCase> {
};

// Reading any of them could block or never end.
TEST_P(RefusedHistories, AreReportedWithoutReading)
{
    std::string path = GetParam().path;
    if (path.empty()) {
        path = Path();
        GetParam().make(path);
    }
    HistoryFile history(path);
    EXPECT_EQ(history.Load(), std::vector<std::string>{});
    EXPECT_EQ(history.failure(), path + ": " + GetParam().reason);
    history.Append("1 2 +");
    EXPECT_EQ(history.failure(), path + ": " + GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RefusedHistories,
    testing::Values(
        RefusedCase{"Fifo", [](const std::string &path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, "",
                    "not a regular file"},
        RefusedCase{"Directory", [](const std::string &path) { ASSERT_EQ(mkdir(path.c_str(), 0700), 0); }, "",
                    "Is a directory"},
        RefusedCase{"EndlessDevice", nullptr, "/dev/zero", "not a regular file"},
        RefusedCase{"LinkToADevice",
                    [](const std::string &path) { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); }, "",
                    "not a regular file"}),
    [](const testing::TestParamInfo<RefusedCase> &info) { return std::string(info.param.name); });

// Read whole, whatever its size, and appended to: no size tells a history
// from some other file.
TEST_F(HistoryFileTest, LargeFileIsReadAndAppendedTo)
{
    constexpr off_t kSize = off_t{65} << 20;
    {
        const int fd = open(Path().c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, kSize), 0);
        ASSERT_EQ(pwrite(fd, "\n5 6 *\n", 7, kSize - 7), 7);
        close(fd);
    }
    HistoryFile history(Path());
    const std::vector<std::string> entries = history.Load();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], std::string(kSize - 7, '\0'));
    EXPECT_EQ(entries[1], "5 6 *");
    history.Append("1 2 +");
    EXPECT_EQ(history.failure(), "");
    EXPECT_EQ(StatOf(Path()).st_size, kSize + 6);
}

TEST_F(HistoryFileTest, ReadOnlyIsRecalledAndReported)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes any file";
    }
    Write(Path(), "1 2 +\n");
    ASSERT_EQ(chmod(Path().c_str(), 0400), 0);
    HistoryFile history(Path());
    EXPECT_EQ(history.Load(), std::vector<std::string>{"1 2 +"});
    EXPECT_EQ(history.failure(), Path() + ": Permission denied");
}

// Another process that keeps the lock delays each step by a second at most,
// and loses nothing it wrote.
TEST_F(HistoryFileTest, StuckLockHolderDoesNotStopTheSession)
{
    Write(Path(), kOwn + Numbered(0, 2500));
    const int holder = open(Path().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    HistoryFile history(Path());
    EXPECT_EQ(history.Load(), NumberedEntries(1500, 2500));
    history.Append("1 2 +");
    close(holder);
    EXPECT_EQ(history.failure(), "");
    EXPECT_EQ(Contents(Path()), kOwn + Numbered(0, 2500) + "1 2 +\n");
}

// As on a full disk: the write stops part way, and the next session's entry
// is still an entry of its own.
TEST_F(HistoryFileTest, WriteCutShortIsReportedAndEndedByTheNextSession)
{
    Write(Path(), "1 2 +\n");
    {
        HistoryFile history(Path());
        history.Load();
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previous = signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 10;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        history.Append("333 444 +");
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
        signal(SIGXFSZ, previous);
        EXPECT_EQ(history.failure(), Path() + ": File too large");
    }
    EXPECT_EQ(Contents(Path()), "1 2 +\n333 ");
    HistoryFile later(Path());
    EXPECT_EQ(later.Load(), (std::vector<std::string>{"1 2 +", "333 "}));
    later.Append("5 6 +");
    EXPECT_EQ(Contents(Path()), "1 2 +\n333 \n5 6 +\n");
}

}  // namespace
