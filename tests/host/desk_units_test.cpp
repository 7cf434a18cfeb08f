// The prompt's desk-calculator pieces on their own, for the edges a session
// reaches only slowly: the command words, the undo history's depth and the
// stack line at any width.
#include "prompt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

struct WordCase {
    const char *line;
    PromptCommand command;
};

class CommandWords : public testing::TestWithParam<WordCase> {
};

TEST_P(CommandWords, OnlyTheWordAloneIsACommand)
{
    EXPECT_EQ(PromptCommandOf(GetParam().line), GetParam().command) << '"' << GetParam().line << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandWords,
    testing::Values(WordCase{"help", PromptCommand::kHelp}, WordCase{"quit", PromptCommand::kQuit},
                    WordCase{"exit", PromptCommand::kQuit}, WordCase{"stack", PromptCommand::kStack},
                    WordCase{"clear", PromptCommand::kClear}, WordCase{"undo", PromptCommand::kUndo},
                    WordCase{"redo", PromptCommand::kRedo}, WordCase{" \tclear\t ", PromptCommand::kClear},
                    WordCase{"clear 3", PromptCommand::kNone}, WordCase{"3 clear", PromptCommand::kNone},
                    WordCase{"clearx", PromptCommand::kNone}, WordCase{"Clear", PromptCommand::kNone},
                    WordCase{"c", PromptCommand::kNone}, WordCase{"un do", PromptCommand::kNone},
                    WordCase{"undo\r", PromptCommand::kNone}, WordCase{"", PromptCommand::kNone},
                    WordCase{"  ", PromptCommand::kNone}));

struct CompletionCase {
    const char *prefix;
    const char *word;
};

class CommandCompletion : public testing::TestWithParam<CompletionCase> {
};

TEST_P(CommandCompletion, OnlyAPrefixOfOneWordCompletes)
{
    EXPECT_EQ(PromptWordCompleting(GetParam().prefix), GetParam().word) << '"' << GetParam().prefix << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, CommandCompletion,
    testing::Values(CompletionCase{"he", "help"}, CompletionCase{"e", "exit"}, CompletionCase{"q", "quit"},
                    CompletionCase{"redo", "redo"}, CompletionCase{"st", "stack"}, CompletionCase{"c", "clear"},
                    // Every word starts with "": none is chosen.
                    CompletionCase{"", ""}, CompletionCase{"x", ""}, CompletionCase{"undos", ""},
                    CompletionCase{"He", ""}, CompletionCase{"3", ""}));

using Stack = std::vector<double>;

// Going back and forth, and a new line ending redo: desk_test.cpp.
TEST(UndoHistory, ForgetsBeyondItsLevels)
{
    UndoHistory history;
    for (std::size_t i = 0; i <= kUndoLevels; ++i) {
        history.Changed({static_cast<double>(i)});
    }
    Stack current{-1};
    for (std::size_t i = kUndoLevels; i >= 1; --i) {
        ASSERT_TRUE(history.Undo(current)) << i;
        EXPECT_EQ(current, Stack{static_cast<double>(i)});
    }
    // Stack {0}, the oldest, is gone.
    EXPECT_FALSE(history.Undo(current));
    EXPECT_EQ(current, Stack{1});
}

TEST(UndoHistory, RedoAfterUndoKeepsTheLevels)
{
    UndoHistory history;
    for (std::size_t i = 0; i < kUndoLevels; ++i) {
        history.Changed({static_cast<double>(i)});
    }
    Stack current{-1};
    ASSERT_TRUE(history.Undo(current));
    ASSERT_TRUE(history.Redo(current));
    EXPECT_EQ(current, Stack{-1});
    std::size_t undone = 0;
    while (history.Undo(current)) {
        ++undone;
    }
    EXPECT_EQ(undone, kUndoLevels);
    EXPECT_EQ(current, Stack{0});
}

TEST(SameStack, ComparesBitForBit)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(SameStack({}, {}));
    EXPECT_TRUE(SameStack({1, 2}, {1, 2}));
    EXPECT_TRUE(SameStack({nan}, {nan}));
    EXPECT_FALSE(SameStack({0.0}, {-0.0}));
    EXPECT_FALSE(SameStack({1, 2}, {2, 1}));
    EXPECT_FALSE(SameStack({1}, {1, 1}));
    EXPECT_FALSE(SameStack({}, {0.0}));
}

struct ViewCase {
    const char *name;
    Stack values;
    ValueFormat format;
    std::size_t columns;
    std::string compact;
};

void PrintTo(const ViewCase &viewCase, std::ostream *os)
{
    *os << viewCase.name;
}

class CompactStackLine : public testing::TestWithParam<ViewCase> {
};

TEST_P(CompactStackLine, FitsTheColumns)
{
    const ViewCase &viewCase = GetParam();
    EXPECT_EQ(CompactStack(viewCase.values, viewCase.format, viewCase.columns), viewCase.compact);
}

ValueFormat Decimals(int decimals)
{
    ValueFormat format;
    format.decimals = decimals;
    return format;
}

ValueFormat Shortest()
{
    ValueFormat format;
    format.shortest = true;
    return format;
}

INSTANTIATE_TEST_SUITE_P(
    Stacks, CompactStackLine,
    testing::Values(
        ViewCase{"Empty", {}, {}, 80, "stack: empty\n"},
        ViewCase{"EmptyOnANarrowTerminal", {}, {}, 3, "stack: empty\n"},
        ViewCase{"BottomFirst", {1, 2.5, -3}, {}, 80, "stack: 1.000000 2.500000 -3.000000\n"},
        ViewCase{"OneColumnToSpare", {1, 2}, Decimals(0), 12, "stack: 1 2\n"},
        ViewCase{"ExactlyAsWide", {1, 2}, Decimals(0), 10, "stack: (2 values) ... 2\n"},
        ViewCase{"KeepsWhatFitsFromTheTop",
                 {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
                 Decimals(0),
                 40,
                 "stack: (20 values) ... 16 17 18 19 20\n"},
        ViewCase{"TopEvenWhenTooWide", {1, 123456789}, Decimals(0), 5, "stack: (2 values) ... 123456789\n"},
        ViewCase{"Shortest", {0.1, 1e300}, Shortest(), 80, "stack: 0.1 1e+300\n"},
        ViewCase{"NotANumber",
                 {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()},
                 Decimals(2),
                 80,
                 "stack: nan -inf\n"}),
    [](const testing::TestParamInfo<ViewCase> &info) { return std::string(info.param.name); });

TEST(FullStack, LevelsCountFromTheTop)
{
    EXPECT_EQ(FullStack({}, {}), "stack: empty\n");
    EXPECT_EQ(FullStack({7}, Decimals(1)), "  1: 7.0\n");
    Stack values;
    for (int i = 1; i <= 100; ++i) {
        values.push_back(i);
    }
    const std::string listing = FullStack(values, Decimals(0));
    EXPECT_EQ(listing.substr(0, 16), "  100: 1\n   99: ");
    EXPECT_EQ(listing.substr(listing.size() - 21), "    2: 99\n    1: 100\n");
}

}  // namespace
