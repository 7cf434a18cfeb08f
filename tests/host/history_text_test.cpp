// The history file's lines: entries written one per line and read back
// whole, and the newest of them found in a piece of the file.
#include "history_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct EntryCase {
    const char *name;
    std::string entry;
    std::string line;
};

void PrintTo(const EntryCase &entryCase, std::ostream *os)
{
    *os << entryCase.name;
}

class EntryLines : public testing::TestWithParam<EntryCase> {
};

TEST_P(EntryLines, EncodeToOneLine)
{
    EXPECT_EQ(EncodeEntry(GetParam().entry), GetParam().line);
    EXPECT_EQ(GetParam().line.find('\n'), std::string::npos);
}

TEST_P(EntryLines, DecodeToTheEntryTyped)
{
    EXPECT_EQ(DecodeEntry(GetParam().line), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryLines,
    testing::Values(EntryCase{"Plain", "3 4 +", "3 4 +"},
                    EntryCase{"Empty", "", ""},
                    EntryCase{"LineBreak", "1 2\n+", "1 2\\n+"},
                    EntryCase{"LineBreaksOnly", "\n\n", "\\n\\n"},
                    EntryCase{"Backslash", "1 \\ 2", "1 \\\\ 2"},
                    // A backslash typed before an "n" is not a line break.
                    EntryCase{"BackslashThenN", "\\n", "\\\\n"},
                    EntryCase{"BackslashThenLineBreak", "\\\n", "\\\\\\n"},
                    EntryCase{"CarriageReturnAndBytesKept", "\r\xC3\xA9\t", "\r\xC3\xA9\t"}),
    [](const testing::TestParamInfo<EntryCase> &info) { return std::string(info.param.name); });

struct HandWrittenCase {
    const char *name;
    std::string line;
    std::string entry;
};

class HandWrittenLines : public testing::TestWithParam<HandWrittenCase> {
};

// Lines rpn never writes are read as they are, not dropped.
TEST_P(HandWrittenLines, KeepTheirBackslashes)
{
    EXPECT_EQ(DecodeEntry(GetParam().line), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HandWrittenLines,
    testing::Values(HandWrittenCase{"OtherEscape", "1 \\t 2", "1 \\t 2"},
                    HandWrittenCase{"TrailingBackslash", "1 2 \\", "1 2 \\"},
                    HandWrittenCase{"LoneBackslash", "\\", "\\"}),
    [](const testing::TestParamInfo<HandWrittenCase> &info) { return std::string(info.param.name); });

struct TailCase {
    const char *name;
    std::string text;
    std::size_t newest;
    std::vector<std::string> entries;
    std::size_t keptFrom;
    std::size_t lines;
};

void PrintTo(const TailCase &tailCase, std::ostream *os)
{
    *os << tailCase.name;
}

class Tails : public testing::TestWithParam<TailCase> {
};

TEST_P(Tails, GiveTheNewestEntries)
{
    const TailCase &tailCase = GetParam();
    const HistoryTail tail = NewestEntries(tailCase.text, tailCase.newest);
    EXPECT_EQ(tail.entries, tailCase.entries);
    EXPECT_EQ(tail.keptFrom, tailCase.keptFrom);
    EXPECT_EQ(tail.lines, tailCase.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, Tails,
    testing::Values(
        TailCase{"WholeFile", "1\n2\n3\n", 5, {"1", "2", "3"}, 0, 3},
        TailCase{"Empty", "", 5, {}, 0, 0},
        TailCase{"OnlyTheNewest", "1\n2\n3\n", 2, {"2", "3"}, 2, 3},
        TailCase{"OnlyTheNewestOne", "x\n1\n2\n3\n", 1, {"3"}, 6, 4},
        TailCase{"EmptyLinesSkipped", "\n1\n\n\n2\n", 5, {"1", "2"}, 1, 2},
        // A write cut short leaves a last line without its end.
        TailCase{"UnfinishedLastLine", "1\n2 3", 5, {"1", "2 3"}, 0, 2},
        TailCase{"UnfinishedOnlyLine", "no line end here", 5, {"no line end here"}, 0, 1},
        TailCase{"EscapesDecoded", "a\\nb\n\\\\\n", 5, {"a\nb", "\\"}, 0, 2}),
    [](const testing::TestParamInfo<TailCase> &info) { return std::string(info.param.name); });

}  // namespace
