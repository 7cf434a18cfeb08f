// The newest entries of a history file's text.
#include "history_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

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
        // Lines are entries as they are: nothing in them is an escape.
        TailCase{"BackslashesKept", "a\\nb\n\\\\\n", 5, {"a\\nb", "\\\\"}, 0, 2}),
    [](const testing::TestParamInfo<TailCase> &info) { return std::string(info.param.name); });

}  // namespace
