// Google Benchmark's console report followed by a table that sets the sides
// of each workload next to each other, with their ratios, and a table of the
// formulas run on many values, in ns per value against the bare loop.
#ifndef KELVARO_BENCHMARKS_SIDE_BY_SIDE_REPORTER_H
#define KELVARO_BENCHMARKS_SIDE_BY_SIDE_REPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kelvaro_bench {

class SideBySideReporter : public benchmark::ConsoleReporter {
public:
    // `workloads` and `formulas` give the order of the tables' rows.
    SideBySideReporter(std::vector<std::string> workloads, std::vector<std::string> formulas);

    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

private:
    // The side's time, or "-" where it did not run.
    std::string Cell(const std::string &workload, const char *side) const;
    // How many times faster `fast` was than `slow`.
    std::string Ratio(const std::string &workload, const char *slow, const char *fast) const;

    // How many times the bare loop's time the side took.
    std::string TimesBare(const std::string &formula, const char *side) const;
    void WriteWorkloads(std::ostream &out) const;
    void WriteFormulas(std::ostream &out) const;

    std::vector<std::string> workloads_;
    std::vector<std::string> formulas_;
    // workload or formula -> side -> ns per call, or per value for the
    // benchmarks with a "values" counter (the median when runs are repeated)
    std::map<std::string, std::map<std::string, double>> nanoseconds_;
    bool medians_ = false;
};

}  // namespace kelvaro_bench

#endif
