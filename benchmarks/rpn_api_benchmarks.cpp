// The reentrant API as a host calls it: text and length in, a double out.
// Nothing is printed, so its counterpart is muparser's SetExpr + Eval alone.
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

}  // namespace kelvaro_bench
