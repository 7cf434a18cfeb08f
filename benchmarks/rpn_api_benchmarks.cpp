// The reentrant API as a host calls it: text and length in, a double out.
// Nothing is printed, so its counterpart is muparser's SetExpr + Eval alone.
// Also a calculator keeping its stack, timed at two depths.
#include "calculator_depth.h"
#include "sides.h"

#include <kelvaro/rpn.h>

#include "support/allocation_counter.h"

#include <benchmark/benchmark.h>

namespace kelvaro_bench {
namespace {

void EvaluateRepeatedly(benchmark::State &state, const std::string &text)
{
    const std::size_t allocationsBefore = kelvaro_testing::OperatorNewCount();
    for (auto _ : state) {
        kelvaro_rpn_outcome outcome;
        kelvaro_rpn_evaluate(text.data(), text.size(), &outcome);
        benchmark::DoNotOptimize(outcome.value);
    }
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(kelvaro_testing::OperatorNewCount() - allocationsBefore),
        benchmark::Counter::kAvgIterations);
    state.counters["bytes"] = static_cast<double>(text.size());
}

// "1 +" on a calculator holding state.range(0) values, which it still holds
// after every call.
void EvaluateOnCalculator(benchmark::State &state)
{
    const auto depth = static_cast<std::size_t>(state.range(0));
    kelvaro_rpn_calculator *calculator = CalculatorAtDepth(depth);
    if (calculator == nullptr) {
        state.SkipWithError("no calculator at that depth");
        return;
    }
    const std::size_t allocationsBefore = kelvaro_testing::OperatorNewCount();
    for (auto _ : state) {
        kelvaro_rpn_outcome outcome;
        kelvaro_rpn_calculator_evaluate(calculator, kCalculatorStep, kCalculatorStepLength,
                                        nullptr, &outcome);
        benchmark::DoNotOptimize(outcome.value);
    }
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(kelvaro_testing::OperatorNewCount() - allocationsBefore),
        benchmark::Counter::kAvgIterations);
    if (kelvaro_rpn_calculator_depth(calculator) != depth) {
        state.SkipWithError("the calculator's depth changed");
    }
    kelvaro_rpn_calculator_destroy(calculator);
}

}  // namespace

std::string EvaluateWithRpnApi(const Workload &workload)
{
    const std::string text = Narrow(workload.rpn);
    kelvaro_rpn_outcome outcome;
    if (kelvaro_rpn_evaluate(text.data(), text.size(), &outcome) != KELVARO_RPN_OK) {
        return kelvaro_rpn_status_name(outcome.status);
    }
    char value[KELVARO_RPN_FIXED_SIZE];
    kelvaro_rpn_format_fixed(outcome.value, 6, value, sizeof value);
    return value;
}

void RegisterRpnApi(const Workload &workload)
{
    benchmark::RegisterBenchmark((workload.name + "/" + kRpnApiSide).c_str(),
                                 [text = Narrow(workload.rpn)](benchmark::State &state) {
                                     EvaluateRepeatedly(state, text);
                                 });
}

void RegisterCalculatorDepths()
{
    benchmark::RegisterBenchmark("calculator/kelvaro_rpn_calculator", EvaluateOnCalculator)
        ->Arg(16)
        ->Arg(264);
}

}  // namespace kelvaro_bench
