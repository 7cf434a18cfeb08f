// A call whose text fits the 255-byte work buffer must not touch the heap;
// a longer text must still evaluate in full, with memory that does not grow
// with its length.
#include <kelvaro/calculator_rpn.h>

#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

using kelvaro_testing::MallocCount;
using kelvaro_testing::MallocIsCounted;
using kelvaro_testing::OperatorNewCount;

struct Outcome {
    std::string result;
    std::size_t newCalls;
    std::size_t mallocCalls;
};

std::wstring Widen(const std::string &text)
{
    return std::wstring(text.begin(), text.end());
}

// Evaluates `expression` with standard output sent to /dev/null and counts
// the allocations made between entering and leaving CalculatorRPN. The C
// library allocated stdout's buffer when the test framework first printed,
// so writing to it costs nothing here.
Outcome Evaluate(const std::string &expression)
{
    const std::wstring wide = Widen(expression);
    std::fflush(stdout);
    const int savedStdout = dup(STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);

    const std::size_t newBefore = OperatorNewCount();
    const std::size_t mallocBefore = MallocCount();
    const wchar_t *returned = CalculatorRPN(wide.c_str());
    const std::size_t newCalls = OperatorNewCount() - newBefore;
    const std::size_t mallocCalls = MallocCount() - mallocBefore;

    std::fflush(stdout);
    dup2(savedStdout, STDOUT_FILENO);
    close(devNull);
    close(savedStdout);

    std::string result;
    for (const wchar_t *p = returned; *p != L'\0'; ++p) {
        result += static_cast<char>(*p);
    }
    return {result, newCalls, mallocCalls};
}

std::string Fixed(double value)
{
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

// "1 0.5 * 1.5 + 0.5 * 1.5 + ...": halves the distance to 3 per round and
// keeps two values on the stack, so it can be made as long as needed.
std::string Halving(int rounds)
{
    std::string text = "1";
    for (int i = 0; i < rounds; ++i) {
        text += " 0.5 * 1.5 +";
    }
    return text;
}

std::string Spaces(std::size_t count)
{
    return std::string(count, ' ');
}

struct Case {
    const char *name;
    std::string expression;
    std::string expected;
};

TEST(NoAllocation, TextsThatFitTheWorkBufferNeverReachTheHeap)
{
    const Case cases[] = {
        {"short", "3 4 + 2 *", "14.000000"},
        {"functions", "0.5 s 0.25 c * 2 l + 1.5 L - 3 ^ 7 4 % +",
         Fixed(std::pow(std::sin(0.5) * std::cos(0.25) + std::log(2.0) - std::exp(1.5), 3.0) +
               3.0)},
        {"longest negative result", "-1.7976931348623157e308", Fixed(-DBL_MAX)},
        {"longest positive result", "1.7976931348623157e308", Fixed(DBL_MAX)},
        {"longest result in listings", "-1.7976931348623157e308 # @", Fixed(-DBL_MAX)},
        {"overflowing number", "1e999", "inf"},
        {"underflowing number", "-1e-999", "-0.000000"},
        {"infinity", "-1 0 /", "-inf"},
        {"not a number", "0 0 /", "nan"},
        {"factorial and constant", "13 ! p +", "1932053507.141500"},
        {"255 bytes of halving", Halving(21) + Spaces(2), "2.999999"},
        {"128 values, 255 bytes", [] {
             std::string text = "1";
             for (int i = 0; i < 127; ++i) {
                 text += " 1";
             }
             return text;
         }(),
         "1.000000"},
        {"255th byte counts", Spaces(254) + "7", "7.000000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_LE(c.expression.size(), 255u);
        const Outcome outcome = Evaluate(c.expression);
        EXPECT_EQ(outcome.result, c.expected);
        EXPECT_EQ(outcome.newCalls, 0u);
        EXPECT_EQ(outcome.mallocCalls, 0u);  // stays 0 where a sanitizer owns malloc
    }
}

TEST(NoAllocation, LongerTextsEvaluateInFull)
{
    // 63 numbers d.5 with '*' and '+' taking turns: 375 bytes.
    std::string chain = "1.5";
    double chainValue = 1.5;
    for (int i = 1; i < 63; ++i) {
        const double operand = i % 9 + 1.5;
        chain += ' ';
        chain += static_cast<char>('0' + i % 9 + 1);
        chain += i % 2 == 1 ? ".5 *" : ".5 +";
        chainValue = i % 2 == 1 ? chainValue * operand : chainValue + operand;
    }

    const Case cases[] = {
        {"256 bytes, last one a number", Spaces(255) + "7", "7.000000"},
        {"375-byte chain", chain, Fixed(chainValue)},
        {"4093 bytes of halving", Halving(341), "3.000000"},
        {"command after 300 bytes", "2 3" + Spaces(300) + "^", "8.000000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GT(c.expression.size(), 255u);
        EXPECT_EQ(Evaluate(c.expression).result, c.expected);
    }
}

// Texts up to 4096 bytes fit the call's own buffer; longer ones are read in
// pieces onto one calculator: one allocation, whatever the length.
TEST(NoAllocation, MemoryDoesNotGrowWithTheText)
{
    const struct {
        const char *name;
        std::string expression;
        std::string expected;
        std::size_t newCalls;
    } cases[] = {
        {"4093 bytes", Halving(341), "3.000000", 0},
        {"4095 bytes", Spaces(4094) + "7", "7.000000", 0},
        {"4096 bytes", Spaces(4095) + "7", "7.000000", 0},
        {"4097 bytes", Spaces(4096) + "7", "7.000000", 1},
        {"64 KiB", Halving(5461), "3.000000", 1},
        {"4 MiB", Halving(349525), "3.000000", 1},
        {"4 MiB of one number", "2" + std::string(4u << 20, '0') + "e-4194304 1 +", "3.000000", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = Evaluate(c.expression);
        EXPECT_EQ(outcome.result, c.expected);
        EXPECT_EQ(outcome.newCalls, c.newCalls);
    }
}

// Where the allocations below go, so that the compiler cannot drop them.
void *volatile escaped = nullptr;

// The counters themselves must see an allocation, or the zeros above prove
// nothing.
TEST(NoAllocation, CountersSeeAllocations)
{
    const std::size_t newBefore = OperatorNewCount();
    const std::size_t mallocBefore = MallocCount();
    escaped = new int(5);
    const std::size_t newCalls = OperatorNewCount() - newBefore;
    delete static_cast<int *>(escaped);
    escaped = std::malloc(16);
    const std::size_t mallocCalls = MallocCount() - mallocBefore;
    std::free(escaped);
    EXPECT_EQ(newCalls, 1u);
    if (MallocIsCounted()) {
        EXPECT_EQ(mallocCalls, 2u);
    }
}

}  // namespace
