#include "side_by_side_reporter.h"

#include <cstdio>
#include <ostream>
#include <utility>

namespace kelvaro_bench {
namespace {

constexpr char kRpnSide[] = "CalculatorRPN";
constexpr char kMuparserSide[] = "muparser";

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

void SideBySideReporter::Finalize()
{
    std::ostream &out = GetOutputStream();
    out << "\nCPU time per call" << (medians_ ? ", median of the repetitions" : "") << ":\n"
        << "\n| Workload | CalculatorRPN ns/call | muparser ns/call | muparser / CalculatorRPN |\n"
        << "|---|---:|---:|---:|\n";
    for (const std::string &workload : workloads_) {
        const auto sides = nanoseconds_.find(workload);
        if (sides == nanoseconds_.end()) {
            continue;
        }
        const auto rpn = sides->second.find(kRpnSide);
        const auto muparser = sides->second.find(kMuparserSide);
        const bool both = rpn != sides->second.end() && muparser != sides->second.end();
        out << "| " << workload << " | "
            << (rpn != sides->second.end() ? Format("%.1f", rpn->second) : "-") << " | "
            << (muparser != sides->second.end() ? Format("%.1f", muparser->second) : "-") << " | "
            << (both ? Format("%.1fx", muparser->second / rpn->second) : "-") << " |\n";
    }
    out.flush();
}

}  // namespace kelvaro_bench
