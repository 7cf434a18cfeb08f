// CalculatorRPN as a host calls it: only the public header and the shared
// library. Its result line goes to standard output, which main sends to
// /dev/null.
#include "sides.h"

#include <kelvaro/calculator_rpn.h>

#include "support/allocation_counter.h"

#include <benchmark/benchmark.h>

namespace kelvaro_bench {
namespace {

void CallRepeatedly(benchmark::State &state, const std::wstring &text)
{
    const wchar_t *expression = text.c_str();
    const std::size_t allocationsBefore = kelvaro_testing::OperatorNewCount();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalculatorRPN(expression));
    }
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(kelvaro_testing::OperatorNewCount() - allocationsBefore),
        benchmark::Counter::kAvgIterations);
    state.counters["bytes"] = static_cast<double>(text.size());
}

}  // namespace

std::string EvaluateWithCalculatorRpn(const Workload &workload)
{
    const wchar_t *result = CalculatorRPN(workload.rpn.c_str());
    return Narrow(result);
}

void RegisterCalculatorRpn(const Workload &workload)
{
    benchmark::RegisterBenchmark((workload.name + "/" + kCalculatorRpnSide).c_str(),
                                 [text = workload.rpn](benchmark::State &state) {
                                     CallRepeatedly(state, text);
                                 });
}

namespace {

// Texts of about state.range(0) bytes; the fit is against their exact length.
void SweepLength(benchmark::State &state)
{
    const std::wstring text = HalvingText(static_cast<std::size_t>(state.range(0)));
    CallRepeatedly(state, text);
    state.SetComplexityN(static_cast<benchmark::IterationCount>(text.size()));
}

}  // namespace

void RegisterLengthSweep()
{
    benchmark::RegisterBenchmark("length_sweep/CalculatorRPN", SweepLength)
        ->RangeMultiplier(2)
        ->Range(16, 4096)
        ->Complexity(benchmark::oN);
}

}  // namespace kelvaro_bench
