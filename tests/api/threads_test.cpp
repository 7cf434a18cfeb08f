// The API from several threads at once: each thread checks every answer it
// gets, so a shared stack or buffer shows up as a wrong value here and as a
// race under ThreadSanitizer.
#include "api/api_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 2000;

struct Job {
    std::string text;
    kelvaro_rpn_status status;
    double value;
    std::string lines;
};

// Thread t evaluates its own texts: different values, lengths and failures.
std::vector<Job> JobsFor(int t)
{
    const std::string n = std::to_string(t + 1);
    return {
        {n + " " + n + " + #", KELVARO_RPN_OK, 2.0 * (t + 1),
         "Top of stack: " + kelvaro_test::Fixed(2.0 * (t + 1)) + "\n"},
        {n + " 10 ^ 1 2 3 4 5 6 7 8 + + + + + + + x", KELVARO_RPN_OK, std::pow(t + 1, 10), ""},
        {std::string(static_cast<std::size_t>(t), ' ') + "?", KELVARO_RPN_INVALID_CHARACTER, 0, ""},
        {n + " + " + n, KELVARO_RPN_STACK_UNDERFLOW, 0, ""},
    };
}

TEST(ThreadsTest, ConcurrentEvaluationsDoNotMix)
{
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &mismatches] {
            const std::vector<Job> jobs = JobsFor(t);
            for (int round = 0; round < kRounds; ++round) {
                const Job &job = jobs[static_cast<std::size_t>(round) % jobs.size()];
                const kelvaro_test::ApiRun run = kelvaro_test::Evaluate(job.text);
                const bool same = run.outcome.status == job.status && run.lines == job.lines &&
                                  (job.status != KELVARO_RPN_OK || run.outcome.value == job.value);
                if (!same) {
                    ++mismatches;
                }
            }
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(ThreadsTest, OneCalculatorPerThread)
{
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &mismatches] {
            kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
            const std::string start = std::to_string(t);
            kelvaro_rpn_outcome outcome{};
            kelvaro_rpn_calculator_evaluate(calculator, start.data(), start.size(), nullptr,
                                            &outcome);
            // Each round adds one; its failing half changes nothing.
            for (int round = 0; round < kRounds; ++round) {
                kelvaro_rpn_calculator_evaluate(calculator, "1 +", 3, nullptr, &outcome);
                kelvaro_rpn_calculator_evaluate(calculator, "+", 1, nullptr, &outcome);
            }
            double top = 0;
            if (kelvaro_rpn_calculator_values(calculator, &top, 1) != 1 || top != t + kRounds ||
                outcome.status != KELVARO_RPN_STACK_UNDERFLOW) {
                ++mismatches;
            }
            kelvaro_rpn_calculator_destroy(calculator);
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
}

// One program shared by every thread: run and run_many on each thread's own
// inputs, with listings, and every answer checked.
TEST(ThreadsTest, OneProgramOnManyThreads)
{
    const char text[] = "2 ^ 3 * 1 + #";
    kelvaro_rpn_program *program = nullptr;
    ASSERT_EQ(kelvaro_rpn_compile(text, sizeof text - 1, &program, nullptr), KELVARO_RPN_OK);
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, program, &mismatches] {
            std::vector<double> inputs(64);
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                inputs[i] = t * 100.0 + static_cast<double>(i);
            }
            std::vector<double> results(inputs.size());
            for (int round = 0; round < kRounds / 10; ++round) {
                kelvaro_test::ApiRun run{};
                const kelvaro_rpn_listing listing = kelvaro_test::RecordInto(run);
                const double x = inputs[static_cast<std::size_t>(round) % inputs.size()];
                kelvaro_rpn_program_run(program, &x, 1, &listing, &run.outcome);
                const double expected = std::pow(x, 2) * 3 + 1;
                if (run.outcome.status != KELVARO_RPN_OK || run.outcome.value != expected ||
                    run.lines != "Top of stack: " + kelvaro_test::Fixed(expected) + "\n") {
                    ++mismatches;
                }
                if (kelvaro_rpn_program_run_many(program, inputs.data(), 1, inputs.size(),
                                                 results.data(), nullptr) != 0 ||
                    results.back() != std::pow(inputs.back(), 2) * 3 + 1) {
                    ++mismatches;
                }
            }
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    kelvaro_rpn_program_destroy(program);
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
