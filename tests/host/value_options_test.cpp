// What -s, -d and --shortest change in what rpn writes.
#include "host_case.h"

#include <kelvaro/rpn.h>

namespace {

class ValueOptions : public testing::TestWithParam<HostCase> {
};

TEST_P(ValueOptions, ProduceExactOutputAndStatus)
{
    ExpectRunMatches(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    KeepStack, ValueOptions,
    testing::Values(
        HostCase{"CarriesOverArguments",
                 {"-s", "1 2", "+", "10 *"},
                 "",
                 "result = 2.000000\nresult = 3.000000\nresult = 30.000000\n",
                 "",
                 0},
        HostCase{"CarriesOverLines", {"--keep-stack"}, "1\n2\n+\n", "result = 1.000000\nresult = 2.000000\nresult = 3.000000\n", "", 0},
        // The failed "+ ?" added 1 and 2 before it met '?': the stack is
        // back to 1 2 for '@'.
        HostCase{"FailureLeavesTheStackAsItWas",
                 {"-s", "-k", "1 2", "+ ?", "@"},
                 "",
                 "result = 2.000000\nInvalid character: '?'\n\n---------\n2.000000\n1.000000\n---------\n"
                 "result = 2.000000\n",
                 "rpn: argument 4:3: invalid character '?'\n",
                 1},
        HostCase{"EmptiedStack",
                 {"-s", "1", "x", "2"},
                 "",
                 "result = 1.000000\nstack empty\nresult = 2.000000\n",
                 "",
                 0},
        HostCase{"EmptiedStackQuiet",
                 {"-s", "-q", "1", "x", "2"},
                 "",
                 "1.000000\n\n2.000000\n",
                 "",
                 0},
        HostCase{"BlankExpressionShowsTheTop", {"-s", "5", " "}, "", "result = 5.000000\nresult = 5.000000\n", "", 0},
        HostCase{"NothingToDrop", {"-s", "x"}, "", "you have a stack underflow!\n", "rpn: argument 2:1: stack underflow\n", 1},
        // 265 values fit; the next push overflows, and the stack stays full
        // for the drop after it.
        HostCase{"FullStackOverflowsAcrossExpressions",
                 {"-s", "-k", Pushes(265), "1", "x"},
                 "",
                 "result = 1.000000\nyou have a stack overflow!\nresult = 1.000000\n",
                 "rpn: argument 4:1: stack overflow\n",
                 255},
        HostCase{"WithoutItEveryExpressionStartsAfresh",
                 {"-k", "1 2", "+"},
                 "",
                 "result = 2.000000\nyou have a stack underflow!\n",
                 "rpn: argument 2:4: warning: 1 value is left below the result\nrpn: argument 3:1: stack underflow\n",
                 1}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Decimals, ValueOptions,
    testing::Values(
        HostCase{"ResultLine", {"-d", "2", "1 3 /"}, "", "result = 0.33\n", "", 0},
        HostCase{"None", {"-d0", "2 3 /"}, "", "result = 1\n", "", 0},
        HostCase{"Most", {"--decimals=" + std::to_string(KELVARO_RPN_MAX_DECIMALS), "1"}, "",
                 "result = 1." + std::string(KELVARO_RPN_MAX_DECIMALS, '0') + "\n", "", 0},
        HostCase{"Listings",
                 {"--decimals", "3", "1 2 + #", "1 2 @"},
                 "",
                 "Top of stack: 3.000\nresult = 3.000\n\n---------\n2.000\n1.000\n---------\nresult = 2.000\n",
                 "rpn: argument 4:6: warning: 1 value is left below the result\n",
                 0},
        HostCase{"ListingOfAnEmptyStack", {"-d1", "@ 1"}, "", "\n---------\n---------\nresult = 1.0\n", "", 0},
        // Six decimals are the library's own lines, byte for byte.
        HostCase{"SixAreTheDefault",
                 {"-d", "6", "1 2 @", "1 3 / #"},
                 "",
                 std::string(kListingOfOneTwo) + "result = 2.000000\nTop of stack: 0.333333\nresult = 0.333333\n",
                 "rpn: argument 3:6: warning: 1 value is left below the result\n",
                 0},
        HostCase{"QuietListingOnStandardError",
                 {"-q", "-d1", "1 2 @"},
                 "",
                 "2.0\n",
                 "rpn: argument 3:6: warning: 1 value is left below the result\n\n---------\n2.0\n1.0\n---------\n",
                 0}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Shortest, ValueOptions,
    testing::Values(
        HostCase{"ExactSum", {"--shortest", "0.1 0.2 +"}, "", "result = 0.30000000000000004\n", "", 0},
        HostCase{"Listings",
                 {"--shortest", "0.1 #", "1 2 @"},
                 "",
                 "Top of stack: 0.1\nresult = 0.1\n\n---------\n2\n1\n---------\nresult = 2\n",
                 "rpn: argument 3:6: warning: 1 value is left below the result\n",
                 0},
        HostCase{"Quiet", {"-q", "--shortest", "0.1 0.2 +"}, "", "0.30000000000000004\n", "", 0},
        // Of -d and --shortest the last one counts.
        HostCase{"AfterDecimals", {"-d", "2", "--shortest", "0.5"}, "", "result = 0.5\n", "", 0},
        HostCase{"BeforeDecimals", {"--shortest", "-d", "2", "0.5"}, "", "result = 0.50\n", "", 0}),
    CaseName);

}  // namespace
