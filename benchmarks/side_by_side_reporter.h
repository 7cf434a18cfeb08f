// Google Benchmark's console report followed by a table that sets the sides
// of each workload next to each other, with their ratios.
#ifndef KELVARO_BENCHMARKS_SIDE_BY_SIDE_REPORTER_H
#define KELVARO_BENCHMARKS_SIDE_BY_SIDE_REPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace kelvaro_bench {

class SideBySideReporter : public benchmark::ConsoleReporter {
public:
    // `workloads` gives the order of the table's rows.
    explicit SideBySideReporter(std::vector<std::string> workloads);

    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

private:
    // The side's time, or "-" where it did not run.
    std::string Cell(const std::string &workload, const char *side) const;
    // How many times faster `fast` was than `slow`.
    std::string Ratio(const std::string &workload, const char *slow, const char *fast) const;

    std::vector<std::string> workloads_;
    // workload -> side -> ns per call (the median when runs are repeated)
    std::map<std::string, std::map<std::string, double>> nanoseconds_;
    bool medians_ = false;
};

}  // namespace kelvaro_bench

#endif
