// Numbers and failures as text, and what the library says about itself.
#include "api/api_run.h"
#include "api/status_numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

std::string FixedWith(double value, int decimals)
{
    char text[KELVARO_RPN_FIXED_SIZE];
    const size_t length = kelvaro_rpn_format_fixed(value, decimals, text, sizeof text);
    EXPECT_EQ(length, std::strlen(text));
    return text;
}

std::string Shortest(double value)
{
    char text[KELVARO_RPN_SHORTEST_SIZE];
    const size_t length = kelvaro_rpn_format_shortest(value, text, sizeof text);
    EXPECT_EQ(length, std::strlen(text));
    return text;
}

struct FixedCase {
    double value;
    int decimals;
    const char *text;
};

TEST(FormatFixedTest, WritesTheGivenDecimals)
{
    const double inf = std::numeric_limits<double>::infinity();
    const FixedCase cases[] = {
        {14, 6, "14.000000"},       {2.0 / 3, 6, "0.666667"},     {2.0 / 3, 0, "1"},
        {2.5, 0, "2"},              {3.5, 0, "4"},                {-0.0, 2, "-0.00"},
        {1e-7, 6, "0.000000"},      {1e-7, 7, "0.0000001"},       {0.125, 2, "0.12"},
        {0.1, 20, "0.10000000000000000555"},
        {inf, 3, "inf"},            {-inf, 0, "-inf"},
        {std::nan(""), 6, "nan"},   {-std::nan(""), 6, "nan"},    {-std::nan(""), 2, "nan"},
    };
    for (const FixedCase &c : cases) {
        EXPECT_EQ(FixedWith(c.value, c.decimals), c.text) << c.value << " " << c.decimals;
    }
}

TEST(FormatFixedTest, MatchesPrintfForEveryDecimalCount)
{
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> exponent(-30, 30);
    for (int decimals = 0; decimals <= 99; ++decimals) {
        for (int i = 0; i < 50; ++i) {
            const double value = std::pow(10.0, exponent(random)) * (i % 2 == 0 ? 1 : -1);
            char expected[KELVARO_RPN_FIXED_SIZE];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            ASSERT_EQ(FixedWith(value, decimals), expected) << value << " " << decimals;
        }
    }
}

TEST(FormatFixedTest, LongestTextFitsTheDeclaredSize)
{
    const std::string text = FixedWith(-std::numeric_limits<double>::max(), 99);
    EXPECT_EQ(text.size(), 410u);
    EXPECT_LT(text.size(), static_cast<std::size_t>(KELVARO_RPN_FIXED_SIZE));
}

TEST(FormatFixedTest, RefusesDecimalsOutOfRange)
{
    char text[8] = "x";
    EXPECT_EQ(kelvaro_rpn_format_fixed(1, -1, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(kelvaro_rpn_format_fixed(1, 100, text, sizeof text), 0u);
}

TEST(FormatFixedTest, TruncatesLikeSnprintf)
{
    char text[5] = "zzzz";
    EXPECT_EQ(kelvaro_rpn_format_fixed(1234.5, 6, text, sizeof text), 11u);
    EXPECT_STREQ(text, "1234");
    char untouched = 'u';
    EXPECT_EQ(kelvaro_rpn_format_fixed(1234.5, 6, &untouched, 0), 11u);
    EXPECT_EQ(untouched, 'u');
}

TEST(FormatFixedTest, IgnoresTheHostLocale)
{
    const char *const locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"};
    bool comma = false;
    for (const char *name : locales) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            comma = std::localeconv()->decimal_point[0] == ',';
            break;
        }
    }
    const std::string fixed = FixedWith(2.5, 3);
    const std::string shortest = Shortest(0.25);
    kelvaro_rpn_outcome outcome{};
    kelvaro_rpn_evaluate("2.5 1.25 +", 10, &outcome);
    std::setlocale(LC_ALL, "C");
    if (!comma) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    EXPECT_EQ(fixed, "2.500");
    EXPECT_EQ(shortest, "0.25");
    EXPECT_EQ(outcome.value, 3.75);
}

TEST(FormatShortestTest, ReadsBackAsTheSameDouble)
{
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {0.1 + 0.2, "0.30000000000000004"}, {14, "14"}, {-2.5, "-2.5"}, {1e22, "1e+22"},
        {1e-7, "1e-07"}, {std::numeric_limits<double>::infinity(), "inf"},
        {-std::nan(""), "nan"}, {-0.0, "-0"}, {0.0, "0"}, {1e15, "1e+15"}, {100, "100"},
        {123456, "123456"}, {0.001, "0.001"}, {1e-5, "1e-05"}, {-1.23e20, "-1.23e+20"},
        {120, "120"}, {1234.5678, "1234.5678"}, {0.00012, "0.00012"},
        {5e-324, "5e-324"}, {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
        {-std::numeric_limits<double>::infinity(), "-inf"}, {9007199254740993.0, "9007199254740992"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Shortest(c.value), c.text);
    }
    std::mt19937_64 random(5);
    for (int i = 0; i < 10000; ++i) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = Shortest(value);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
        // And the notation reads it back too, where it is a number token.
        kelvaro_rpn_outcome outcome{};
        ASSERT_EQ(kelvaro_rpn_evaluate(text.data(), text.size(), &outcome), KELVARO_RPN_OK) << text;
        ASSERT_EQ(outcome.value, value) << text;
    }
}

#if defined(__cpp_lib_to_chars)
// Where the C++ library has it, std::to_chars's shortest form is the
// reference: the same digits, and fixed or scientific by the same rule.
TEST(FormatShortestTest, MatchesStdToChars)
{
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 40000; ++i) {
        double value = 0;
        if (i % 2 == 0) {
            const std::uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
        } else {
            // Values near the length tie between the two forms.
            value = static_cast<double>(random() % 100000) * std::pow(10.0, exponent(random));
        }
        if (!std::isfinite(value)) {
            continue;
        }
        char expected[64];
        char *const end = std::to_chars(expected, expected + sizeof expected, value).ptr;
        ASSERT_EQ(Shortest(value), std::string(expected, end));
    }
}
#endif

TEST(FormatMessageTest, WritesTheLegacyLines)
{
    const kelvaro_rpn_outcome invalid{KELVARO_RPN_INVALID_CHARACTER, 0, 2};
    const kelvaro_rpn_outcome underflow{KELVARO_RPN_STACK_UNDERFLOW, 0, 1};
    const kelvaro_rpn_outcome overflow{KELVARO_RPN_STACK_OVERFLOW, 0, 0};
    const kelvaro_rpn_outcome ok{KELVARO_RPN_OK, 3, 0};
    char line[KELVARO_RPN_MESSAGE_SIZE];
    kelvaro_rpn_format_message(&invalid, "3 \xe9", 3, line, sizeof line);
    EXPECT_STREQ(line, "Invalid character: '\xe9'\n");
    kelvaro_rpn_format_message(&underflow, "+", 1, line, sizeof line);
    EXPECT_STREQ(line, "you have a stack underflow!\n");
    kelvaro_rpn_format_message(&overflow, nullptr, 0, line, sizeof line);
    EXPECT_STREQ(line, "you have a stack overflow!\n");
    EXPECT_EQ(kelvaro_rpn_format_message(&ok, "3", 1, line, sizeof line), 0u);
    EXPECT_STREQ(line, "");
}

TEST(FormatMessageTest, StatusNamesAreConstant)
{
    EXPECT_STREQ(kelvaro_rpn_status_name(KELVARO_RPN_OK), "ok");
    EXPECT_STREQ(kelvaro_rpn_status_name(KELVARO_RPN_INVALID_CHARACTER), "invalid character");
    EXPECT_STREQ(kelvaro_rpn_status_name(KELVARO_RPN_STACK_UNDERFLOW), "stack underflow");
    EXPECT_STREQ(kelvaro_rpn_status_name(KELVARO_RPN_STACK_OVERFLOW), "stack overflow");
    EXPECT_STREQ(kelvaro_rpn_status_name(KELVARO_RPN_OUT_OF_MEMORY), "out of memory");
}

// The statuses a program ends with, as the legacy export ends the process:
// an overflow and out of memory alike, and any number outside the
// enumeration as an ordinary failure.
TEST(FormatMessageTest, ExitStatusesAreTheLegacyOnes)
{
    const struct {
        int status;
        int exit;
    } cases[] = {
        {KELVARO_RPN_OK, 0},
        {KELVARO_RPN_INVALID_CHARACTER, 1},
        {KELVARO_RPN_STACK_UNDERFLOW, 1},
        {KELVARO_RPN_STACK_OVERFLOW, -1},
        {KELVARO_RPN_OUT_OF_MEMORY, -1},
        {5, 1},
        {-1, 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ExitStatusOfNumber(c.status), c.exit) << c.status;
    }
}

// Lines a host prints with %s: a NUL byte is escaped, nothing is cut short,
// and a missing outcome writes the empty text.
TEST(FormatMessageTest, EveryLineSurvivesPercentS)
{
    const struct {
        kelvaro_rpn_outcome outcome;
        const char *text;
        std::size_t length;
        const char *line;
    } cases[] = {
        {{KELVARO_RPN_INVALID_CHARACTER, 0, 2}, "1 \0", 3, "Invalid character: '\\0'\n"},
        {{KELVARO_RPN_INVALID_CHARACTER, 0, 0}, "\0", 1, "Invalid character: '\\0'\n"},
        {{KELVARO_RPN_INVALID_CHARACTER, 0, 5}, "1 ?", 3, "Invalid character: '?'\n"},
        {{KELVARO_RPN_INVALID_CHARACTER, 0, 1}, "\\", 1, "Invalid character: '?'\n"},
        {{KELVARO_RPN_INVALID_CHARACTER, 0, 0}, "\\", 1, "Invalid character: '\\'\n"},
        {{KELVARO_RPN_OUT_OF_MEMORY, 0, 0}, "1", 1, "out of memory\n"},
    };
    for (const auto &c : cases) {
        char line[KELVARO_RPN_MESSAGE_SIZE];
        const std::size_t length =
            kelvaro_rpn_format_message(&c.outcome, c.text, c.length, line, sizeof line);
        EXPECT_STREQ(line, c.line);
        EXPECT_EQ(length, std::strlen(c.line));
    }
    char line[KELVARO_RPN_MESSAGE_SIZE] = "unchanged";
    EXPECT_EQ(kelvaro_rpn_format_message(nullptr, "1 ?", 3, line, sizeof line), 0u);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(kelvaro_rpn_format_message(nullptr, nullptr, 0, nullptr, 0), 0u);
}

TEST(FormatMessageTest, WarningNamesAreConstantAndAnyOtherNumberIsUnknown)
{
    EXPECT_STREQ(kelvaro_rpn_warning_name(KELVARO_RPN_WARNING_COMMAND_TAIL), "command tail");
    EXPECT_STREQ(kelvaro_rpn_warning_name(KELVARO_RPN_WARNING_NUMBER_TAIL), "number tail");
    EXPECT_STREQ(kelvaro_rpn_warning_name(KELVARO_RPN_WARNING_VALUES_LEFT), "values left");
    for (const int number : {-1, 0, 4, 42, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(number);
        EXPECT_STREQ(WarningNameOfNumber(number), "unknown warning");
    }
}

TEST(FormatMessageTest, AnyOtherNumberIsAnUnknownStatus)
{
    for (const int number : {-1, 5, 42, 255, 256, 1000, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(number);
        EXPECT_STREQ(StatusNameOfNumber(number), "unknown status");
        char message[KELVARO_RPN_MESSAGE_SIZE] = "unchanged";
        EXPECT_EQ(MessageOfNumber(number, message, sizeof message), 0u);
        EXPECT_STREQ(message, "");
    }
    // The known numbers still have their names and lines.
    char message[KELVARO_RPN_MESSAGE_SIZE];
    EXPECT_STREQ(StatusNameOfNumber(2), "stack underflow");
    EXPECT_EQ(MessageOfNumber(3, message, sizeof message), 27u);
    EXPECT_STREQ(message, "you have a stack overflow!\n");
}

TEST(CommandTableTest, EveryCommandIsOneByteThatItsExampleUses)
{
    size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    ASSERT_NE(commands, nullptr);
    ASSERT_EQ(count, 22u);
    std::set<char> bytes;
    for (size_t i = 0; i < count; ++i) {
        const kelvaro_rpn_command &command = commands[i];
        EXPECT_TRUE(bytes.insert(command.byte).second) << command.name;
        if (command.example[0] == '\0') {
            continue;  // the separators
        }
        const std::string example = command.example;
        EXPECT_NE(example.find(command.byte), std::string::npos) << command.name;
        kelvaro_rpn_outcome outcome{};
        EXPECT_EQ(kelvaro_rpn_evaluate(example.data(), example.size(), &outcome), KELVARO_RPN_OK)
            << command.name;
    }
    // A byte that is not in the table is invalid at a token start.
    for (int c = 0; c < 256; ++c) {
        if (bytes.count(static_cast<char>(c)) != 0 || (c >= '0' && c <= '9')) {
            continue;
        }
        const char text[] = {'1', ' ', static_cast<char>(c), ' ', '1', ' ', '+'};
        EXPECT_EQ(kelvaro_rpn_evaluate(text, sizeof text, nullptr), KELVARO_RPN_INVALID_CHARACTER)
            << c;
    }
}

TEST(VersionTest, RunTimeVersionIsTheProjectVersion)
{
    EXPECT_STREQ(kelvaro_rpn_version(), KELVARO_EXPECTED_VERSION);
    EXPECT_STREQ(KELVARO_RPN_VERSION, KELVARO_EXPECTED_VERSION);
    EXPECT_EQ(std::string(KELVARO_RPN_VERSION),
              std::to_string(KELVARO_RPN_VERSION_MAJOR) + "." +
                  std::to_string(KELVARO_RPN_VERSION_MINOR) + "." +
                  std::to_string(KELVARO_RPN_VERSION_PATCH) + "." +
                  std::to_string(KELVARO_RPN_VERSION_TWEAK));
}

}  // namespace

namespace {

void Collect(void *context, const char *text, size_t length)
{
    static_cast<std::string *>(context)->append(text, length);
}

std::string LinesOf(char command, std::vector<double> values, int decimals)
{
    std::string lines;
    kelvaro_rpn_listing_lines(command, values.data(), values.size(), decimals, Collect, &lines);
    return lines;
}

struct ListingCase {
    const char *name;
    char command;
    std::vector<double> values;
    int decimals;
    std::string lines;
};

class ListingLines : public testing::TestWithParam<ListingCase> {
};

TEST_P(ListingLines, AtTheDecimalsAsked)
{
    const ListingCase &listing = GetParam();
    EXPECT_EQ(LinesOf(listing.command, listing.values, listing.decimals), listing.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ListingLines,
    testing::Values(ListingCase{"TopAtTwo", '#', {1, 2.345}, 2, "Top of stack: 2.35\n"},
                    ListingCase{"StackAtNone", '@', {1, -2.5}, 0, "\n---------\n-2\n1\n---------\n"},
                    ListingCase{"EmptyStack", '@', {}, 3, "\n---------\n---------\n"},
                    ListingCase{"Shortest", '#', {0.1 + 0.2}, KELVARO_RPN_SHORTEST, "Top of stack: 0.30000000000000004\n"},
                    ListingCase{"MostDecimals", '#', {0.5}, KELVARO_RPN_MAX_DECIMALS,
                                "Top of stack: 0.5" + std::string(KELVARO_RPN_MAX_DECIMALS - 1, '0') + "\n"},
                    ListingCase{"TooManyDecimals", '#', {1}, KELVARO_RPN_MAX_DECIMALS + 1, ""},
                    ListingCase{"BelowShortest", '@', {1}, -2, ""},
                    ListingCase{"TopOfNothing", '#', {}, 6, ""},
                    ListingCase{"NoSuchCommand", '+', {1}, 6, ""}),
    [](const testing::TestParamInfo<ListingCase> &info) { return std::string(info.param.name); });

// At six decimals, the very lines an evaluation lists.
TEST(ListingLineText, SixDecimalsAreTheEvaluationsOwn)
{
    std::string listed;
    const kelvaro_rpn_listing listing{Collect, nullptr, &listed};
    const char text[] = "1e300 -0.125 3 @ #";
    ASSERT_EQ(kelvaro_rpn_evaluate_listing(text, sizeof text - 1, &listing, nullptr), KELVARO_RPN_OK);
    EXPECT_EQ(listed, LinesOf('@', {1e300, -0.125, 3}, 6) + LinesOf('#', {3}, 6));
}

}  // namespace
