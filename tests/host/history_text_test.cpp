// The entries of a history file's text.
#include "history_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct LinesCase {
    const char *name;
    std::string text;
    std::vector<std::string_view> entries;
};

void PrintTo(const LinesCase &linesCase, std::ostream *os)
{
    *os << linesCase.name;
}

class Texts : public testing::TestWithParam<LinesCase> {
};

TEST_P(Texts, GiveTheirEntries)
{
    EXPECT_EQ(EntryLines(GetParam().text), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, Texts,
    testing::Values(
        LinesCase{"WholeFile", "1\n2\n3\n", {"1", "2", "3"}},
        LinesCase{"Empty", "", {}},
        LinesCase{"EmptyLinesSkipped", "\n1\n\n\n2\n", {"1", "2"}},
        // A write cut short leaves a last line without its end.
        LinesCase{"UnfinishedLastLine", "1\n2 3", {"1", "2 3"}},
        LinesCase{"UnfinishedOnlyLine", "no line end here", {"no line end here"}},
        // Lines are entries as they are: nothing in them is an escape.
        LinesCase{"BackslashesKept", "a\\nb\n\\\\\n", {"a\\nb", "\\\\"}},
        LinesCase{"CarriageReturnAndBytesKept", "\r\xC3\xA9\t\n", {"\r\xC3\xA9\t"}}),
    [](const testing::TestParamInfo<LinesCase> &info) { return std::string(info.param.name); });

}  // namespace
