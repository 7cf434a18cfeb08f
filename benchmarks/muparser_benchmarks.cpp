// muparser doing what a host would do with it instead: set the expression,
// evaluate it and write the value formatted with "%f".
#include "sides.h"

#include "support/allocation_counter.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>

namespace kelvaro_bench {
namespace {

// The notation's '%': the remainder of b by a with the sign of b.
mu::value_type Remainder(mu::value_type b, mu::value_type a)
{
    return std::fmod(b, a);
}

void DefineRemainder(mu::Parser &parser)
{
    parser.DefineFun("rem", Remainder);
}

// Wide enough for "%f" of the largest double and a newline.
constexpr std::size_t kLineSize = 400;

std::size_t FormatLine(char (&line)[kLineSize], mu::value_type value)
{
    const int length = std::snprintf(line, sizeof line, "%f\n", value);
    return static_cast<std::size_t>(length);
}

void EvaluateRepeatedly(benchmark::State &state, const std::string &infix)
{
    mu::Parser parser;
    DefineRemainder(parser);
    const std::size_t allocationsBefore = kelvaro_testing::OperatorNewCount();
    for (auto _ : state) {
        // Setting the text on every call parses it again on the next Eval,
        // just as every call of CalculatorRPN scans its text.
        parser.SetExpr(infix);
        char line[kLineSize];
        const std::size_t length = FormatLine(line, parser.Eval());
        std::fwrite(line, 1, length, stdout);
    }
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(kelvaro_testing::OperatorNewCount() - allocationsBefore),
        benchmark::Counter::kAvgIterations);
    state.counters["bytes"] = static_cast<double>(infix.size());
}

void EvaluateOnly(benchmark::State &state, const std::string &infix)
{
    mu::Parser parser;
    DefineRemainder(parser);
    for (auto _ : state) {
        parser.SetExpr(infix);
        benchmark::DoNotOptimize(parser.Eval());
    }
    state.counters["bytes"] = static_cast<double>(infix.size());
}

// The expression set once, as muparser's users set it; every Eval runs the
// bytecode of the first.
void EvaluateSetOnce(benchmark::State &state, const std::string &infix)
{
    mu::Parser parser;
    DefineRemainder(parser);
    parser.SetExpr(infix);
    parser.Eval();
    const std::size_t allocationsBefore = kelvaro_testing::OperatorNewCount();
    for (auto _ : state) {
        benchmark::DoNotOptimize(parser.Eval());
    }
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(kelvaro_testing::OperatorNewCount() - allocationsBefore),
        benchmark::Counter::kAvgIterations);
    state.counters["bytes"] = static_cast<double>(infix.size());
}

}  // namespace

std::string EvaluateWithMuparser(const Workload &workload)
{
    try {
        mu::Parser parser;
        DefineRemainder(parser);
        parser.SetExpr(workload.infix);
        char line[kLineSize];
        const std::size_t length = FormatLine(line, parser.Eval());
        return std::string(line, length - 1);
    } catch (const mu::Parser::exception_type &error) {
        return "muparser error: " + error.GetMsg();
    }
}

void RegisterMuparser(const Workload &workload)
{
    benchmark::RegisterBenchmark((workload.name + "/" + kMuparserSide).c_str(),
                                 [infix = workload.infix](benchmark::State &state) {
                                     EvaluateRepeatedly(state, infix);
                                 });
}

void RegisterMuparserEval(const Workload &workload)
{
    benchmark::RegisterBenchmark((workload.name + "/" + kMuparserEvalSide).c_str(),
                                 [infix = workload.infix](benchmark::State &state) {
                                     EvaluateOnly(state, infix);
                                 });
}

void RegisterMuparserEvalOnce(const Workload &workload)
{
    benchmark::RegisterBenchmark((workload.name + "/" + kMuparserEvalOnceSide).c_str(),
                                 [infix = workload.infix](benchmark::State &state) {
                                     EvaluateSetOnce(state, infix);
                                 });
}

}  // namespace kelvaro_bench
