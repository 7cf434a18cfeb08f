// Calls one side N times on one workload, for counting instructions under
// callgrind: count_instructions.sh runs it for two values of N and divides
// the difference in instructions by the difference in calls, which leaves
// out everything the process does once (loading, MakeWorkloads, set-up).
//
//   kelvaro_instruction_counts evaluate      short|functions|long N
//   kelvaro_instruction_counts CalculatorRPN short|functions|long N
//   kelvaro_instruction_counts calculator    DEPTH N
//
// evaluate is kelvaro_rpn_evaluate on the workload's bytes, CalculatorRPN the
// legacy call on its wide text, calculator kelvaro_rpn_calculator_evaluate of
// "1 +" on a calculator holding DEPTH values. Standard output goes to
// /dev/null (CalculatorRPN prints a line per call); one line on standard
// error tells what ran and what the last call gave. Leading zeros in N are
// allowed, so that the runs compared can have arguments of the same length.
#include "calculator_depth.h"
#include "workloads.h"

#include <kelvaro/calculator_rpn.h>
#include <kelvaro/rpn.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Where every call's result is stored, so that none of the calls can be left
// out or merged.
volatile double valueSink;
const wchar_t *volatile textSink;

int Usage()
{
    std::fprintf(stderr,
                 "usage: kelvaro_instruction_counts evaluate|CalculatorRPN "
                 "short|functions|long N\n"
                 "       kelvaro_instruction_counts calculator DEPTH N\n");
    return EXIT_FAILURE;
}

bool ParseCount(const char *text, unsigned long long &count)
{
    if (*text < '0' || *text > '9') {
        return false;
    }
    char *end = nullptr;
    errno = 0;
    count = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0';
}

const kelvaro_bench::Workload *FindWorkload(const std::vector<kelvaro_bench::Workload> &workloads,
                                            const std::string &name)
{
    for (const kelvaro_bench::Workload &workload : workloads) {
        if (workload.name == name) {
            return &workload;
        }
    }
    return nullptr;
}

int CountEvaluate(const kelvaro_bench::Workload &workload, unsigned long long calls)
{
    const std::string text = kelvaro_bench::Narrow(workload.rpn);
    kelvaro_rpn_outcome outcome{};
    outcome.status = KELVARO_RPN_OK;
    for (unsigned long long i = 0; i < calls; ++i) {
        kelvaro_rpn_evaluate(text.data(), text.size(), &outcome);
        valueSink = outcome.value;
    }
    if (outcome.status != KELVARO_RPN_OK) {
        std::fprintf(stderr, "evaluate %s: %s at byte %zu\n", workload.name.c_str(),
                     kelvaro_rpn_status_name(outcome.status), outcome.offset);
        return EXIT_FAILURE;
    }
    std::fprintf(stderr, "evaluate %s, %llu calls: %f\n", workload.name.c_str(), calls,
                 outcome.value);
    return EXIT_SUCCESS;
}

// CalculatorRPN ends the process itself if the text fails.
int CountCalculatorRpn(const kelvaro_bench::Workload &workload, unsigned long long calls)
{
    const wchar_t *expression = workload.rpn.c_str();
    const wchar_t *result = nullptr;
    for (unsigned long long i = 0; i < calls; ++i) {
        result = CalculatorRPN(expression);
        textSink = result;
    }
    std::fprintf(stderr, "CalculatorRPN %s, %llu calls: %s\n", workload.name.c_str(), calls,
                 result == nullptr ? "(no call)" : kelvaro_bench::Narrow(result).c_str());
    return EXIT_SUCCESS;
}

// The step adds to the value below its 1, so the depth is at least 1.
int CountCalculator(unsigned long long depth, unsigned long long calls)
{
    kelvaro_rpn_calculator *calculator =
        depth == 0 ? nullptr : kelvaro_bench::CalculatorAtDepth(static_cast<std::size_t>(depth));
    if (calculator == nullptr) {
        std::fprintf(stderr, "calculator: no calculator at depth %llu (1 to %d)\n", depth,
                     KELVARO_RPN_STACK_CAPACITY - 1);
        return EXIT_FAILURE;
    }
    kelvaro_rpn_outcome outcome{};
    for (unsigned long long i = 0; i < calls; ++i) {
        kelvaro_rpn_calculator_evaluate(calculator, kelvaro_bench::kCalculatorStep,
                                        kelvaro_bench::kCalculatorStepLength, nullptr, &outcome);
        valueSink = outcome.value;
    }
    // Every call that succeeded added 1 to the top, which started at 1; a
    // failed one leaves the stack as it was.
    std::vector<double> values(static_cast<std::size_t>(depth) + 1);
    const std::size_t finalDepth =
        kelvaro_rpn_calculator_values(calculator, values.data(), values.size());
    kelvaro_rpn_calculator_destroy(calculator);
    const double top = finalDepth == 0 ? 0.0 : values[finalDepth - 1];
    const double expected = 1.0 + static_cast<double>(calls);
    if (finalDepth != depth || top != expected) {
        std::fprintf(stderr,
                     "calculator at depth %llu: depth %zu and top %f after %llu calls, "
                     "expected depth %llu and top %f\n",
                     depth, finalDepth, top, calls, depth, expected);
        return EXIT_FAILURE;
    }
    std::fprintf(stderr, "calculator at depth %llu, %llu calls: top %f\n", depth, calls, top);
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        return Usage();
    }
    const std::string side = argv[1];
    unsigned long long calls = 0;
    if (!ParseCount(argv[3], calls)) {
        return Usage();
    }
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("redirecting standard output to /dev/null");
        return EXIT_FAILURE;
    }

    if (side == "calculator") {
        unsigned long long depth = 0;
        if (!ParseCount(argv[2], depth)) {
            return Usage();
        }
        return CountCalculator(depth, calls);
    }

    const std::vector<kelvaro_bench::Workload> workloads = kelvaro_bench::MakeWorkloads();
    const kelvaro_bench::Workload *workload = FindWorkload(workloads, argv[2]);
    if (workload == nullptr) {
        return Usage();
    }
    if (side == "evaluate") {
        return CountEvaluate(*workload, calls);
    }
    if (side == "CalculatorRPN") {
        return CountCalculatorRpn(*workload, calls);
    }
    return Usage();
}
