// Runs CalculatorRPN, the reentrant API and muparser side by side on the same
// workloads, and compiled programs, a bare C++ loop and muparser on the same
// million values of x.
//
// Both sides write one line per call to standard output, as a host of either
// would; standard output goes to /dev/null for the whole run and the report
// goes to where standard output pointed at start.
#include "programs.h"
#include "side_by_side_reporter.h"
#include "sides.h"
#include "workloads.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <streambuf>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A std::ostream target that writes through a C stream.
class FileBuffer : public std::streambuf {
public:
    explicit FileBuffer(std::FILE *file) : file_(file) {}

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
    }

    std::streamsize xsputn(const char *text, std::streamsize count) override
    {
        return static_cast<std::streamsize>(
            std::fwrite(text, 1, static_cast<std::size_t>(count), file_));
    }

    int sync() override { return std::fflush(file_); }

private:
    std::FILE *file_;
};

// Points standard output at /dev/null and returns a stream on where it
// pointed before, or null if either step fails.
std::FILE *SilenceStdout()
{
    std::fflush(stdout);
    const int original = dup(STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    if (original < 0 || devNull < 0 || dup2(devNull, STDOUT_FILENO) < 0) {
        return nullptr;
    }
    close(devNull);
    return fdopen(original, "w");
}

// Both sides must agree on every workload, or the timings compare different
// work.
bool SidesAgree(const std::vector<kelvaro_bench::Workload> &workloads, std::FILE *report)
{
    bool agree = true;
    for (const kelvaro_bench::Workload &workload : workloads) {
        const std::string rpn = kelvaro_bench::EvaluateWithCalculatorRpn(workload);
        const std::string api = kelvaro_bench::EvaluateWithRpnApi(workload);
        const std::string muparser = kelvaro_bench::EvaluateWithMuparser(workload);
        const bool same = rpn == muparser && api == muparser;
        std::fprintf(report,
                     "%-9s %zu/%zu bytes  CalculatorRPN %s  kelvaro_rpn %s  muparser %s%s\n",
                     workload.name.c_str(), workload.rpn.size(), workload.infix.size(),
                     rpn.c_str(), api.c_str(), muparser.c_str(), same ? "" : "  MISMATCH");
        agree = agree && same;
    }
    return agree;
}

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return EXIT_FAILURE;
    }
    std::FILE *report = SilenceStdout();
    if (report == nullptr) {
        std::perror("redirecting standard output to /dev/null");
        return EXIT_FAILURE;
    }

    const std::vector<kelvaro_bench::Workload> workloads = kelvaro_bench::MakeWorkloads();
    if (!SidesAgree(workloads, report)) {
        std::fprintf(report, "The two sides disagree; nothing measured.\n");
        std::fclose(report);
        return EXIT_FAILURE;
    }

    const std::vector<kelvaro_bench::Formula> formulas = kelvaro_bench::MakeFormulas();
    std::vector<double> inputs = kelvaro_bench::MakeInputs(kelvaro_bench::kDefaultValueCount);
    if (!kelvaro_bench::ProgramsAgree(formulas, inputs, report)) {
        std::fprintf(report,
                     "A program or muparser disagrees with the bare loop; nothing measured.\n");
        std::fclose(report);
        return EXIT_FAILURE;
    }

    std::vector<std::string> names;
    for (const kelvaro_bench::Workload &workload : workloads) {
        kelvaro_bench::RegisterCalculatorRpn(workload);
        kelvaro_bench::RegisterMuparser(workload);
        kelvaro_bench::RegisterRpnApi(workload);
        kelvaro_bench::RegisterMuparserEval(workload);
        kelvaro_bench::RegisterMuparserEvalOnce(workload);
        names.push_back(workload.name);
    }
    kelvaro_bench::RegisterCalculatorDepths();
    kelvaro_bench::RegisterLengthSweep();
    std::vector<std::string> formulaNames;
    for (const kelvaro_bench::Formula &formula : formulas) {
        kelvaro_bench::RegisterPrograms(formula, inputs);
        formulaNames.push_back(formula.name);
    }

    FileBuffer buffer(report);
    std::ostream out(&buffer);
    kelvaro_bench::SideBySideReporter reporter(names, formulaNames);
    reporter.SetOutputStream(&out);
    reporter.SetErrorStream(&out);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    out.flush();
    std::fclose(report);
    return EXIT_SUCCESS;
}
