// Google Benchmark's console report followed by a table that sets the two
// sides of each workload next to each other, with their ratio.
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
    std::vector<std::string> workloads_;
    // workload -> side -> ns per call (the median when runs are repeated)
    std::map<std::string, std::map<std::string, double>> nanoseconds_;
    bool medians_ = false;
};

}  // namespace kelvaro_bench

#endif
