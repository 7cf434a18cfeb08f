#include "side_by_side_reporter.h"

#include "sides.h"

#include <cstdio>
#include <ostream>
#include <utility>

namespace kelvaro_bench {
namespace {

// CPU time: on a shared machine it leaves out the time other processes
// held the core; both sides run single-threaded and never wait.
double Nanoseconds(const benchmark::BenchmarkReporter::Run &run)
{
    return run.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
           benchmark::GetTimeUnitMultiplier(run.time_unit);
}

std::string Format(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

SideBySideReporter::SideBySideReporter(std::vector<std::string> workloads)
    : ConsoleReporter(OO_Tabular), workloads_(std::move(workloads))
{
}

void SideBySideReporter::ReportRuns(const std::vector<Run> &runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        // A single run, or the median of repeated ones, which then replaces it.
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.error_occurred || !(single || median)) {
            continue;
        }
        medians_ = medians_ || median;
        const std::string &name = run.run_name.function_name;
        const std::size_t slash = name.find('/');
        if (slash == std::string::npos) {
            continue;
        }
        nanoseconds_[name.substr(0, slash)][name.substr(slash + 1)] = Nanoseconds(run);
    }
}

std::string SideBySideReporter::Cell(const std::string &workload, const char *side) const
{
    const auto sides = nanoseconds_.find(workload);
    if (sides == nanoseconds_.end() || sides->second.count(side) == 0) {
        return "-";
    }
    return Format("%.1f", sides->second.at(side));
}

std::string SideBySideReporter::Ratio(const std::string &workload, const char *slow,
                                      const char *fast) const
{
    const auto sides = nanoseconds_.find(workload);
    if (sides == nanoseconds_.end() || sides->second.count(slow) == 0 ||
        sides->second.count(fast) == 0) {
        return "-";
    }
    return Format("%.1fx", sides->second.at(slow) / sides->second.at(fast));
}

void SideBySideReporter::Finalize()
{
    std::ostream &out = GetOutputStream();
    out << "\nCPU time per call in ns" << (medians_ ? ", median of the repetitions" : "")
        << ".\nEvaluation alone: kelvaro_rpn_evaluate against muparser SetExpr + Eval.\n"
        << "With output: CalculatorRPN against muparser SetExpr + Eval + \"%f\" + fwrite.\n"
        << "\n| Workload | kelvaro_rpn | muparser | ratio | CalculatorRPN | muparser with output "
           "| ratio |\n"
        << "|---|---:|---:|---:|---:|---:|---:|\n";
    for (const std::string &workload : workloads_) {
        out << "| " << workload << " | " << Cell(workload, kRpnApiSide) << " | "
            << Cell(workload, kMuparserEvalSide) << " | "
            << Ratio(workload, kMuparserEvalSide, kRpnApiSide) << " | "
            << Cell(workload, kCalculatorRpnSide) << " | " << Cell(workload, kMuparserSide)
            << " | " << Ratio(workload, kMuparserSide, kCalculatorRpnSide) << " |\n";
    }
    out.flush();
}

}  // namespace kelvaro_bench
