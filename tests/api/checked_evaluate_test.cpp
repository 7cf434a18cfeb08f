// kelvaro_rpn_evaluate_checked: one pass gives what kelvaro_rpn_check and
// kelvaro_rpn_evaluate_listing give in two.
#include <kelvaro/rpn.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Seen {
    kelvaro_rpn_outcome outcome{};
    std::vector<kelvaro_rpn_warning> warnings;
    std::size_t count = 0;
    std::string lines;
};

void KeepLine(void *context, const char *text, std::size_t length)
{
    static_cast<std::string *>(context)->append(text, length);
}

Seen InTwoPasses(const std::string &text)
{
    Seen seen;
    seen.count = kelvaro_rpn_check(text.data(), text.size(), nullptr, 0);
    seen.warnings.resize(seen.count);
    kelvaro_rpn_check(text.data(), text.size(), seen.warnings.data(), seen.warnings.size());
    const kelvaro_rpn_listing listing{KeepLine, nullptr, &seen.lines};
    kelvaro_rpn_evaluate_listing(text.data(), text.size(), &listing, &seen.outcome);
    return seen;
}

Seen InOnePass(const std::string &text, std::size_t capacity)
{
    Seen seen;
    seen.warnings.resize(capacity);
    const kelvaro_rpn_listing listing{KeepLine, nullptr, &seen.lines};
    const kelvaro_rpn_status status =
        kelvaro_rpn_evaluate_checked(text.data(), text.size(), &listing, seen.warnings.data(),
                                     capacity, &seen.count, &seen.outcome);
    EXPECT_EQ(status, seen.outcome.status);
    seen.warnings.resize(std::min(capacity, seen.count));
    return seen;
}

void ExpectSame(const Seen &expected, const Seen &actual, const std::string &text)
{
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(actual.outcome.status, expected.outcome.status);
    EXPECT_EQ(actual.outcome.offset, expected.outcome.offset);
    if (expected.outcome.status == KELVARO_RPN_OK) {
        EXPECT_EQ(std::memcmp(&actual.outcome.value, &expected.outcome.value, sizeof(double)), 0);
    }
    EXPECT_EQ(actual.lines, expected.lines);
    ASSERT_EQ(actual.count, expected.count);
    for (std::size_t i = 0; i < actual.warnings.size(); ++i) {
        EXPECT_EQ(actual.warnings[i].kind, expected.warnings[i].kind) << i;
        EXPECT_EQ(actual.warnings[i].offset, expected.warnings[i].offset) << i;
        EXPECT_EQ(actual.warnings[i].length, expected.warnings[i].length) << i;
    }
}

// Bytes that make numbers, tails, commands, failures and listings likely.
std::string RandomText(std::mt19937 &random)
{
    static const char kBytes[] = "0123456789..ee--++  \t\t*/^%#@xsp]c?,\n";
    std::uniform_int_distribution<std::size_t> length(0, 24);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kBytes - 1);  // NUL included
    std::string text(length(random), ' ');
    std::generate(text.begin(), text.end(), [&] { return kBytes[pick(random)]; });
    return text;
}

TEST(CheckedEvaluateTest, AgreesWithCheckAndEvaluateOnRandomTexts)
{
    std::mt19937 random(22);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = RandomText(random);
        ExpectSame(InTwoPasses(text), InOnePass(text, 32), text);
    }
}

struct CheckedCase {
    const char *name;
    std::string text;
};

class CheckedEvaluateCaseTest : public testing::TestWithParam<CheckedCase> {};

TEST_P(CheckedEvaluateCaseTest, AgreesWithCheckAndEvaluate)
{
    const std::string &text = GetParam().text;
    const Seen expected = InTwoPasses(text);
    ExpectSame(expected, InOnePass(text, expected.count + 1), text);
}

std::string Repeated(const std::string &piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

const CheckedCase kCheckedCases[] = {
    {"Empty", ""},
    {"ValuesLeft", "1 2 3"},
    {"TailsThenUnderflow", "2.5x sqrt +"},
    {"TailsAfterAnInvalidByte", "1 ?abc 2 +5 3x"},
    {"UnderflowFirst", "+ 1 2"},
    {"Listings", "1 2 @ #x 3"},
    {"FullStack", Repeated("1 ", KELVARO_RPN_STACK_CAPACITY) + "2x"},
    {"OverflowThenTails", Repeated("1 ", KELVARO_RPN_STACK_CAPACITY + 1) + "2x +y"},
    {"ConstantOnAFullStack", Repeated("1 ", KELVARO_RPN_STACK_CAPACITY) + "p p"},
};

INSTANTIATE_TEST_SUITE_P(Texts, CheckedEvaluateCaseTest, testing::ValuesIn(kCheckedCases),
                         [](const testing::TestParamInfo<CheckedCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(CheckedEvaluateTest, CountsEveryWarningWhateverFits)
{
    const std::string text = "pi pe ca 1 2 3";
    const Seen seen = InOnePass(text, 2);
    EXPECT_EQ(seen.count, 4u);
    ASSERT_EQ(seen.warnings.size(), 2u);
    EXPECT_EQ(seen.warnings[1].offset, 4u);

    std::size_t count = 99;
    kelvaro_rpn_outcome outcome{};
    EXPECT_EQ(kelvaro_rpn_evaluate_checked(text.data(), text.size(), nullptr, nullptr, 5, &count,
                                           &outcome),
              KELVARO_RPN_OK);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(outcome.value, 3.0);
    EXPECT_EQ(kelvaro_rpn_evaluate_checked(nullptr, 10, nullptr, nullptr, 0, &count, nullptr),
              KELVARO_RPN_STACK_UNDERFLOW);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(kelvaro_rpn_evaluate_checked("1", 1, nullptr, nullptr, 0, nullptr, nullptr),
              KELVARO_RPN_OK);
}

// A host says the warnings before what the text lists: they are all in by
// the first listing, the ones after it included.
struct FirstListing {
    const std::size_t *count;
    std::size_t countThen = 0;
    int calls = 0;
};

void NoteFirstListing(void *context, const char * /*text*/, std::size_t /*length*/)
{
    auto &first = *static_cast<FirstListing *>(context);
    if (first.calls++ == 0) {
        first.countThen = *first.count;
    }
}

TEST(CheckedEvaluateTest, EveryWarningIsInBeforeTheFirstListing)
{
    const std::string texts[] = {"1x 2 # 3y +z 4", "1 @ 2 3", "#", "1 # ?q", "1 2 # 3 +"};
    for (const std::string &text : texts) {
        std::size_t count = 99;
        FirstListing first{&count};
        const kelvaro_rpn_listing listing{NoteFirstListing, nullptr, &first};
        kelvaro_rpn_warning warnings[8];
        kelvaro_rpn_outcome outcome{};
        kelvaro_rpn_evaluate_checked(text.data(), text.size(), &listing, warnings, 8, &count,
                                     &outcome);
        EXPECT_EQ(count, kelvaro_rpn_check(text.data(), text.size(), nullptr, 0)) << text;
        if (first.calls > 0) {
            EXPECT_EQ(first.countThen, count) << text;
        }
    }
}

}  // namespace
