// The reentrant API allocates nothing, whatever the length of the text:
// evaluation, listings, calculators and programs once made, checks, and
// every formatter.
#include <kelvaro/rpn.h>

#include "support/allocation_counter.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>

namespace {

using kelvaro_testing::MallocCount;
using kelvaro_testing::OperatorNewCount;

struct Counts {
    std::size_t newCalls;
    std::size_t mallocCalls;
};

template <typename Body>
Counts CountAllocations(Body body)
{
    const std::size_t newBefore = OperatorNewCount();
    const std::size_t mallocBefore = MallocCount();
    body();
    return {OperatorNewCount() - newBefore, MallocCount() - mallocBefore};
}

void IgnoreLine(void *context, const char *, size_t length)
{
    *static_cast<std::size_t *>(context) += length;
}

void IgnoreValues(void *context, char, const double *, size_t count)
{
    *static_cast<std::size_t *>(context) += count;
}

TEST(ApiAllocationTest, NothingOnAnyPath)
{
    std::string longText = "1";
    for (int i = 0; i < 300; ++i) {
        longText += " 0.5 * 1.5 +";
    }
    const std::string texts[] = {
        "3 4 + 2 *", "1 2 @ # +", "-1.7976931348623157e308 # @", "3 ?", "+", longText,
    };
    kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
    ASSERT_NE(calculator, nullptr);
    std::size_t seen = 0;
    const kelvaro_rpn_listing listing{IgnoreLine, IgnoreValues, &seen};
    for (const std::string &text : texts) {
        const Counts counts = CountAllocations([&] {
            kelvaro_rpn_outcome outcome{};
            kelvaro_rpn_evaluate(text.data(), text.size(), &outcome);
            kelvaro_rpn_evaluate_listing(text.data(), text.size(), &listing, &outcome);
            kelvaro_rpn_calculator_evaluate(calculator, text.data(), text.size(), &listing,
                                            &outcome);
            char buffer[KELVARO_RPN_FIXED_SIZE];
            kelvaro_rpn_format_fixed(-DBL_MAX, 99, buffer, sizeof buffer);
            kelvaro_rpn_format_shortest(outcome.value, buffer, sizeof buffer);
            kelvaro_rpn_format_message(&outcome, text.data(), text.size(), buffer, sizeof buffer);
        });
        EXPECT_EQ(counts.newCalls, 0u) << text.substr(0, 40);
        EXPECT_EQ(counts.mallocCalls, 0u) << text.substr(0, 40);
    }
    EXPECT_NE(seen, 0u);
    kelvaro_rpn_calculator_destroy(calculator);
}

TEST(ApiAllocationTest, ProgramsRunAndTextsAreCheckedWithoutTheHeap)
{
    std::string longText = "1 +";
    for (int i = 0; i < 300; ++i) {
        longText += " 0.5 * 1.5 + sqrt";
    }
    const std::string texts[] = {"2 ^ 3 * 1 +", "1 2 @ # +", "+ + +", longText, "1 2 3"};
    kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
    ASSERT_NE(calculator, nullptr);
    std::size_t seen = 0;
    const kelvaro_rpn_listing listing{IgnoreLine, IgnoreValues, &seen};
    for (const std::string &text : texts) {
        kelvaro_rpn_program *program = nullptr;
        ASSERT_EQ(kelvaro_rpn_compile(text.data(), text.size(), &program, nullptr),
                  KELVARO_RPN_OK);
        const double inputs[8] = {1.5, 2, 3, 4, 5, 6, 7, 8};
        double results[4];
        kelvaro_rpn_status statuses[4];
        kelvaro_rpn_warning warnings[4];
        static double many[1001];
        const Counts counts = CountAllocations([&] {
            kelvaro_rpn_outcome outcome{};
            kelvaro_rpn_program_run(program, inputs, 2, &listing, &outcome);
            kelvaro_rpn_program_run_many(program, inputs, 2, 4, results, statuses);
            kelvaro_rpn_program_run_many(program, inputs, 1, 4, results, nullptr);
            kelvaro_rpn_program_run_many_fast(program, inputs, 2, 4, results, statuses);
            // Over the inputs, and more runs than a block holds.
            kelvaro_rpn_program_run_many(program, many, 1, 1000, many + 1, nullptr);
            kelvaro_rpn_program_run_many_fast(program, many, 1, 1000, many, nullptr);
            kelvaro_rpn_check(text.data(), text.size(), warnings, 4);
            std::size_t found = 0;
            kelvaro_rpn_evaluate_checked(text.data(), text.size(), &listing, warnings, 4, &found,
                                         &outcome);
            kelvaro_rpn_calculator_push(calculator, 1);
        });
        EXPECT_EQ(counts.newCalls, 0u) << text.substr(0, 40);
        EXPECT_EQ(counts.mallocCalls, 0u) << text.substr(0, 40);
        kelvaro_rpn_program_destroy(program);
    }
    kelvaro_rpn_calculator_destroy(calculator);
}

}  // namespace

namespace {

using kelvaro_testing::FailOperatorNewAt;

// Whichever of compile's allocations fails, it says so and leaves no program;
// the next compile, with memory again, succeeds.
TEST(ApiOutOfMemoryTest, CompileReportsItAndLeavesNoProgram)
{
    const std::string text = "1 2 + 3 *";
    std::size_t allocations = 0;
    {
        kelvaro_rpn_program *program = nullptr;
        allocations = CountAllocations([&] {
                          kelvaro_rpn_compile(text.data(), text.size(), &program, nullptr);
                      }).newCalls;
        kelvaro_rpn_program_destroy(program);
    }
    ASSERT_GT(allocations, 0u);
    for (std::size_t nth = 1; nth <= allocations; ++nth) {
        kelvaro_rpn_program *program = nullptr;
        kelvaro_rpn_outcome outcome{KELVARO_RPN_OK, 0, 99};
        FailOperatorNewAt(nth);
        const kelvaro_rpn_status status =
            kelvaro_rpn_compile(text.data(), text.size(), &program, &outcome);
        FailOperatorNewAt(0);
        EXPECT_EQ(status, KELVARO_RPN_OUT_OF_MEMORY) << nth;
        EXPECT_EQ(outcome.status, KELVARO_RPN_OUT_OF_MEMORY) << nth;
        EXPECT_EQ(outcome.offset, 0u) << nth;
        EXPECT_EQ(program, nullptr) << nth;
        char line[KELVARO_RPN_MESSAGE_SIZE];
        kelvaro_rpn_format_message(&outcome, text.data(), text.size(), line, sizeof line);
        EXPECT_STREQ(line, "out of memory\n");
    }
    kelvaro_rpn_program *program = nullptr;
    EXPECT_EQ(kelvaro_rpn_compile(text.data(), text.size(), &program, nullptr), KELVARO_RPN_OK);
    kelvaro_rpn_program_destroy(program);
}

TEST(ApiOutOfMemoryTest, CalculatorCreateIsNull)
{
    FailOperatorNewAt(1);
    kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
    FailOperatorNewAt(0);
    EXPECT_EQ(calculator, nullptr);
    kelvaro_rpn_calculator_destroy(calculator);
}

}  // namespace
