// kelvaro_rpn_check: the texts that probably misread, with what is skipped,
// where, and how much; texts that read as they say get nothing.
#include <kelvaro/rpn.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Warning {
    kelvaro_rpn_warning_kind kind;
    std::size_t offset;
    std::size_t length;

    bool operator==(const Warning &other) const
    {
        return kind == other.kind && offset == other.offset && length == other.length;
    }
};

void PrintTo(const Warning &warning, std::ostream *out)
{
    *out << "{" << warning.kind << ", " << warning.offset << ", " << warning.length << "}";
}

constexpr auto kCommandTail = KELVARO_RPN_WARNING_COMMAND_TAIL;
constexpr auto kNumberTail = KELVARO_RPN_WARNING_NUMBER_TAIL;
constexpr auto kValuesLeft = KELVARO_RPN_WARNING_VALUES_LEFT;

std::vector<Warning> Check(const std::string &text)
{
    kelvaro_rpn_warning warnings[16];
    const std::size_t count = kelvaro_rpn_check(text.data(), text.size(), warnings, 16);
    std::vector<Warning> found;
    for (std::size_t i = 0; i < count && i < 16; ++i) {
        found.push_back({warnings[i].kind, warnings[i].offset, warnings[i].length});
    }
    EXPECT_LE(count, 16u) << text;
    return found;
}

struct CheckCase {
    const char *name;
    std::string text;
    std::vector<Warning> warnings;
};

class CheckTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckTest, FindsWhatIsSkipped)
{
    EXPECT_EQ(Check(GetParam().text), GetParam().warnings);
}

const CheckCase kCases[] = {
    {"Clean", "3 4 + 2 *", {}},
    {"Empty", "", {}},
    {"Spaces", "   ", {}},
    {"ExponentsAndSigns", "1.5e3 -2 + 7. 1E-3 * -", {}},
    {"TabsSeparate", "3\t4\t+", {}},
    {"WordForSine", "2 sqrt", {{kCommandTail, 3, 3}}},
    {"WordForCosine", "1 clear", {{kCommandTail, 3, 4}}},
    {"WordForSine2", "2 3 swap", {{kCommandTail, 5, 3}, {kValuesLeft, 8, 1}}},
    {"OperatorAgainstNumber", "3 4+", {{kNumberTail, 3, 1}, {kValuesLeft, 4, 1}}},
    {"NumberAfterOperator", "3 4 +5", {{kCommandTail, 5, 1}}},
    {"ThousandsComma", "1,234.5", {{kNumberTail, 1, 6}}},
    {"CsvHeader", "price", {{kCommandTail, 1, 4}}},
    {"ValuesLeft", "1 2 3", {{kValuesLeft, 5, 2}}},
    {"UnitAfterNumber", "2.5x 1 +", {{kNumberTail, 3, 1}}},
    {"NewlineInsideAToken", "3\n4 +", {{kNumberTail, 1, 2}}},
    {"NewlineAtATokenStart", "3 \n4 +", {{kCommandTail, 3, 1}}},
    {"HalfAnExponent", "1e 2 +", {{kNumberTail, 1, 1}}},
    {"HexNumber", "0x10", {{kNumberTail, 1, 3}}},
    {"TailsOfAFailingText", "?abc 1 +5", {{kCommandTail, 1, 3}, {kCommandTail, 8, 1}}},
    {"UnderflowLeavesNothing", "+ 1 2", {}},
    {"NulInsideAToken", std::string("12\0" "5 1", 6), {{kNumberTail, 2, 2}, {kValuesLeft, 6, 1}}},
    {"ListingsKeepTheDepth", "1 2 @ # x", {}},
    // Where a number ends, as the evaluator reads it.
    {"PointWithoutDigits", "7.e", {{kNumberTail, 2, 1}}},
    {"SignWithoutExponent", "1e+", {{kNumberTail, 1, 2}}},
    {"SecondExponent", "2E-3e4", {{kNumberTail, 4, 2}}},
    {"SignAfterExponent", "1e5+", {{kNumberTail, 3, 1}}},
    {"NegativeFraction", "-1.5x", {{kNumberTail, 4, 1}}},
    {"TwoPoints", "3..", {{kNumberTail, 2, 1}}},
};

INSTANTIATE_TEST_SUITE_P(Texts, CheckTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CheckCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(CheckCapacityTest, CountsEveryWarningWhateverFits)
{
    const std::string text = "pi pe ca 1 2 3";
    kelvaro_rpn_warning warnings[2] = {};
    EXPECT_EQ(kelvaro_rpn_check(text.data(), text.size(), warnings, 2), 4u);
    EXPECT_EQ(warnings[1].offset, 4u);
    EXPECT_EQ(kelvaro_rpn_check(text.data(), text.size(), nullptr, 0), 4u);
    EXPECT_EQ(kelvaro_rpn_check(nullptr, 10, nullptr, 0), 0u);
}

// Every warning lies inside the text; a value count lies after it.
TEST(CheckCapacityTest, NeverReportsOutsideTheText)
{
    const std::string texts[] = {"1e", "-", "1 -", "3+", "1.", "1..", "x\n", "\n\n\n", "1 2\t"};
    for (const std::string &text : texts) {
        kelvaro_rpn_warning warnings[8];
        const std::size_t count = kelvaro_rpn_check(text.data(), text.size(), warnings, 8);
        for (std::size_t i = 0; i < count; ++i) {
            if (warnings[i].kind == kValuesLeft) {
                EXPECT_EQ(warnings[i].offset, text.size()) << text;
            } else {
                EXPECT_GT(warnings[i].length, 0u) << text;
                EXPECT_LE(warnings[i].offset + warnings[i].length, text.size()) << text;
            }
        }
    }
}

}  // namespace
