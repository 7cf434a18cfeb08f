// rpn with expressions as arguments.
#include "host_case.h"

#include <kelvaro/rpn.h>

namespace {

// The diagnostic for a -d argument outside 0 to KELVARO_RPN_MAX_DECIMALS.
std::string DecimalsError(const char *argument)
{
    return std::string("rpn: invalid number of decimals '") + argument + "' (0 to " +
           std::to_string(KELVARO_RPN_MAX_DECIMALS) + ")\n" + kUsageTail;
}

class Arguments : public testing::TestWithParam<HostCase> {
};

TEST_P(Arguments, ProducesExactOutputAndStatus)
{
    ExpectRunMatches(GetParam());
}

const std::string kListing = kListingOfOneTwo;

INSTANTIATE_TEST_SUITE_P(
    InOneProcess, Arguments,
    testing::Values(
        HostCase{"OneExpression", {"3 4 + 2 *"}, "", "result = 14.000000\n", "", 0},
        HostCase{"EachInOrder",
                 {"3 4 +", "2 3 /", "-2.5"},
                 "",
                 "result = 7.000000\nresult = 0.666667\nresult = -2.500000\n",
                 "",
                 0},
        HostCase{"ListingBeforeResult", {"1 2 @"}, "", kListing + "result = 2.000000\n", "rpn: argument 1:6: warning: 1 value is left below the result\n", 0},
        HostCase{"TopOfStack", {"1 2 + #"}, "", "Top of stack: 3.000000\nresult = 3.000000\n", "", 0},
        HostCase{"FailureEndsTheRun",
                 {"3 4 +", "3 4 ?", "5"},
                 "",
                 "result = 7.000000\nInvalid character: '?'\n",
                 "rpn: argument 2:5: invalid character '?'\n",
                 1},
        HostCase{"Underflow", {"5 - 3"}, "", "you have a stack underflow!\n", "rpn: argument 1:3: stack underflow\n", 1},
        HostCase{"Overflow", {Pushes(266)}, "", "you have a stack overflow!\n", "rpn: argument 1:531: stack overflow\n", 255},
        HostCase{"EmptyArgumentIsAnExpression", {""}, "", "you have a stack underflow!\n", "rpn: argument 1:1: stack underflow\n", 1},
        // Bytes reach the library as typed: the first byte of UTF-8 'é'.
        HostCase{"BytesPassedAsTyped",
                 {"3 \xC3\xA9"},
                 "",
                 "Invalid character: '\xC3'\n",
                 "rpn: argument 1:4: warning: '\\xa9' after '\\xc3' is skipped (only a token's first byte counts)\n"
                 "rpn: argument 1:3: invalid character '\\xc3'\n",
                 1},
        HostCase{"ArgumentsWinOverInput", {"1"}, "2\n", "result = 1.000000\n", "", 0}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    DashArguments, Arguments,
    testing::Values(
        HostCase{"NegativeNumber", {"-5 3 +"}, "", "result = -2.000000\n", "", 0},
        // A value that looks like an expression is still the option's.
        HostCase{"ValueStartingWithADash", {"-f", "-5", "1"}, "", "", "rpn: -5: No such file or directory\n", 3},
        HostCase{"ShortenedLongOptions", {"--short", "--qu", "1 3 /"}, "", "0.3333333333333333\n", "", 0},
        HostCase{"LoneDash", {"-"}, "", "you have a stack underflow!\n", "rpn: argument 1:1: stack underflow\n", 1},
        HostCase{"DoubleDashEndsOptions",
                 {"--", "-k", "--help"},
                 "",
                 "you have a stack underflow!\n",
                 "rpn: argument 2:2: warning: 'k' after '-' is skipped (only a token's first byte counts)\n"
                 "rpn: argument 2:1: stack underflow\n",
                 1},
        HostCase{"OptionAfterExpression", {"3 4 +", "-q"}, "", "7.000000\n", "", 0}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Quiet, Arguments,
    testing::Values(
        HostCase{"OnlyTheValue", {"-q", "3 4 +"}, "", "7.000000\n", "", 0},
        HostCase{"ListingGoesToStandardError",
                 {"--quiet", "1 2 @", "p"},
                 "",
                 "2.000000\n3.141500\n",
                 "rpn: argument 2:6: warning: 1 value is left below the result\n" + kListing,
                 0},
        HostCase{"FailureMessageGoesToStandardError",
                 {"-q", "3 4 +", "3 ?", "1"},
                 "",
                 "7.000000\n",
                 "Invalid character: '?'\nrpn: argument 3:3: invalid character '?'\n",
                 1},
        // The value lines of -q are rpn's own: -d and --shortest apply.
        HostCase{"ValuesInTheChosenFormat",
                 {"-q", "-d", "2", "1 3 /", "2"},
                 "",
                 "0.33\n2.00\n",
                 "",
                 0}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    KeepGoing, Arguments,
    testing::Values(
        HostCase{"EveryExpressionRuns",
                 {"-k", "3 4 +", "3 ?", "5 - 3", "1 1 +"},
                 "",
                 "result = 7.000000\nInvalid character: '?'\nyou have a stack underflow!\n"
                 "result = 2.000000\n",
                 "rpn: argument 3:3: invalid character '?'\nrpn: argument 4:3: stack underflow\n",
                 1},
        HostCase{"StatusOfTheFirstFailure",
                 {"--keep-going", "1 2 @", Pushes(266), "3 ?"},
                 "",
                 kListing + "result = 2.000000\nyou have a stack overflow!\nInvalid character: '?'\n",
                 "rpn: argument 2:6: warning: 1 value is left below the result\nrpn: argument 3:531: stack overflow\n"
                 "rpn: argument 4:3: invalid character '?'\n",
                 255},
        HostCase{"AllSucceed", {"-k", "1", "2"}, "", "result = 1.000000\nresult = 2.000000\n", "", 0},
        // A failed expression keeps its line, empty: line N answers
        // expression N.
        HostCase{"WithQuiet",
                 {"-kq", "3 4 +", "3 ?", "1 1 +", "x"},
                 "",
                 "7.000000\n\n2.000000\n\n",
                 "Invalid character: '?'\nrpn: argument 3:3: invalid character '?'\n"
                 "you have a stack underflow!\nrpn: argument 5:1: stack underflow\n",
                 1}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    UsageErrors, Arguments,
    testing::Values(
        HostCase{"UnknownShortOption", {"-z"}, "", "", std::string("rpn: unknown option '-z'\n") + kUsageTail, 2},
        HostCase{"UnknownLongOption",
                 {"--frobnicate"},
                 "",
                 "",
                 std::string("rpn: unknown option '--frobnicate'\n") + kUsageTail,
                 2},
        // --each is gone: a script that still uses it stops before anything runs.
        HostCase{"EachIsNoLongerAnOption",
                 {"--each", "2 *", "21"},
                 "",
                 "",
                 std::string("rpn: unknown option '--each'\n") + kUsageTail,
                 2},
        // 'x' is a command, but "-x" reads as an option.
        HostCase{"LetterAfterDash", {"-x"}, "", "", std::string("rpn: unknown option '-x'\n") + kUsageTail, 2},
        HostCase{"UnknownInBundle",
                 {"-kz", "3 4 +"},
                 "",
                 "",
                 std::string("rpn: unknown option '-z'\n") + kUsageTail,
                 2},
        HostCase{"NothingRunsBeforeTheError",
                 {"3 4 +", "--quiet=yes"},
                 "",
                 "",
                 std::string("rpn: unknown option '--quiet=yes'\n") + kUsageTail,
                 2},
        HostCase{"DecimalsAboveRange",
                 {"-d", "100", "1"},
                 "",
                 "",
                 DecimalsError("100"),
                 2},
        HostCase{"DecimalsNegative",
                 {"--decimals", "-1", "1"},
                 "",
                 "",
                 DecimalsError("-1"),
                 2},
        HostCase{"DecimalsNotANumber",
                 {"--decimals=2x", "1"},
                 "",
                 "",
                 DecimalsError("2x"),
                 2},
        HostCase{"DecimalsMissing", {"1", "-d"}, "", "", std::string("rpn: option '-d' needs an argument\n") + kUsageTail, 2},
        HostCase{"FileMissing",
                 {"--file="},
                 "",
                 "",
                 std::string("rpn: option '--file' needs an argument\n") + kUsageTail,
                 2},
        // A letter unknown inside a bundle is named alone, whatever came before.
        HostCase{"UnknownFirstInBundle",
                 {"--quiet", "-zk", "1"},
                 "",
                 "",
                 std::string("rpn: unknown option '-z'\n") + kUsageTail,
                 2},
        // "keep" begins both --keep-going and --keep-stack.
        HostCase{"AmbiguousBeginning", {"--keep", "1"}, "", "", std::string("rpn: unknown option '--keep'\n") + kUsageTail, 2},
        HostCase{"ShortenedNeedsItsValue",
                 {"1", "--deci"},
                 "",
                 "",
                 std::string("rpn: option '--deci' needs an argument\n") + kUsageTail,
                 2},
        HostCase{"ShortenedWithEmptyValue",
                 {"--fi=", "1"},
                 "",
                 "",
                 std::string("rpn: option '--fi' needs an argument\n") + kUsageTail,
                 2},
        HostCase{"ShortestTakesNoValue",
                 {"--shortest=1", "1"},
                 "",
                 "",
                 std::string("rpn: unknown option '--shortest=1'\n") + kUsageTail,
                 2}),
    CaseName);

}  // namespace
