#include "side_by_side_reporter.h"

#include "programs.h"
#include "sides.h"

#include <cstdio>
#include <ostream>
#include <utility>

namespace kelvaro_bench {
namespace {

// CPU time: on a shared machine it leaves out the time other processes
// held the core; both sides run single-threaded and never wait.
// Per value where an iteration runs over many values.
double Nanoseconds(const benchmark::BenchmarkReporter::Run &run)
{
    const double perIteration = run.GetAdjustedCPUTime() *
                                benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                benchmark::GetTimeUnitMultiplier(run.time_unit);
    const auto values = run.counters.find(kValuesCounter);
    if (values == run.counters.end() || !(values->second.value > 0)) {
        return perIteration;
    }
    return perIteration / values->second.value;
}

std::string Format(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

SideBySideReporter::SideBySideReporter(std::vector<std::string> workloads,
                                       std::vector<std::string> formulas)
    : ConsoleReporter(OO_Tabular), workloads_(std::move(workloads)), formulas_(std::move(formulas))
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
    // Three digits, so that a ratio below 1 (muparser faster) keeps its size.
    return Format("%.3gx", sides->second.at(slow) / sides->second.at(fast));
}

std::string SideBySideReporter::TimesBare(const std::string &formula, const char *side) const
{
    const auto sides = nanoseconds_.find(formula);
    if (sides == nanoseconds_.end() || sides->second.count(side) == 0 ||
        sides->second.count(kBareLoopSide) == 0) {
        return "-";
    }
    return Format("%.2fx", sides->second.at(side) / sides->second.at(kBareLoopSide));
}

void SideBySideReporter::WriteWorkloads(std::ostream &out) const
{
    out << "\nCPU time per call in ns" << (medians_ ? ", median of the repetitions" : "")
        << ".\nEvaluation alone: kelvaro_rpn_evaluate against muparser SetExpr + Eval on "
           "every call,\nand against muparser SetExpr once, Eval alone per call (its optimiser "
           "has folded\nthe constant expression; it reads no text in the loop).\n"
        << "With output: CalculatorRPN against muparser SetExpr + Eval + \"%f\" + fwrite.\n"
        << "\n| Workload | kelvaro_rpn | muparser SetExpr every call | ratio "
           "| muparser SetExpr once | ratio "
           "| CalculatorRPN | muparser with output | ratio |\n"
        << "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const std::string &workload : workloads_) {
        out << "| " << workload << " | " << Cell(workload, kRpnApiSide) << " | "
            << Cell(workload, kMuparserEvalSide) << " | "
            << Ratio(workload, kMuparserEvalSide, kRpnApiSide) << " | "
            << Cell(workload, kMuparserEvalOnceSide) << " | "
            << Ratio(workload, kMuparserEvalOnceSide, kRpnApiSide) << " | "
            << Cell(workload, kCalculatorRpnSide) << " | " << Cell(workload, kMuparserSide)
            << " | " << Ratio(workload, kMuparserSide, kCalculatorRpnSide) << " |\n";
    }
}

void SideBySideReporter::WriteFormulas(std::ostream &out) const
{
    out << "\nCPU time per value in ns" << (medians_ ? ", median of the repetitions" : "")
        << ", each side over the same values of x;\n"
           "in brackets, times the bare loop's time (below 1 is faster).\n"
        << "\n| Formula | bare loop | program_run | program_run_many "
           "| muparser Eval per value | muparser bulk |\n"
        << "|---|---:|---:|---:|---:|---:|\n";
    for (const std::string &formula : formulas_) {
        out << "| " << formula << " | " << Cell(formula, kBareLoopSide);
        for (const char *side :
             {kProgramRunSide, kProgramRunManySide, kMuparserVarSide, kMuparserBulkSide}) {
            out << " | " << Cell(formula, side) << " (" << TimesBare(formula, side) << ")";
        }
        out << " |\n";
    }
}

void SideBySideReporter::Finalize()
{
    std::ostream &out = GetOutputStream();
    WriteWorkloads(out);
    WriteFormulas(out);
    out.flush();
}

}  // namespace kelvaro_bench
