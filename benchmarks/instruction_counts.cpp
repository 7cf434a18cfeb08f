// Calls one side N times on one workload, for counting instructions under
// callgrind: count_instructions.sh runs it for two values of N and divides
// the difference in instructions by the difference in calls, which leaves
// out everything the process does once (loading, MakeWorkloads, set-up).
//
//   kelvaro_instruction_counts evaluate      short|functions|long N
//   kelvaro_instruction_counts CalculatorRPN short|functions|long N
//   kelvaro_instruction_counts calculator    DEPTH N
//   kelvaro_instruction_counts program_run|program_run_many|program_run_many_fast|bare_loop
//                              f1|f2 N
//
// evaluate is kelvaro_rpn_evaluate on the workload's bytes, CalculatorRPN the
// legacy call on its wide text, calculator kelvaro_rpn_calculator_evaluate of
// "1 +" on a calculator holding DEPTH values. program_run, program_run_many
// (and _fast) and bare_loop run the formula on N values of x (benchmarks/formulas.h), the
// same block of 1,000 values over and over: kelvaro_rpn_program_run once per
// value, kelvaro_rpn_program_run_many once per block, the bare C++ loop once
// per block; a call here is one value. Standard output goes to
// /dev/null (CalculatorRPN prints a line per call); one line on standard
// error tells what ran and what the last call gave. Leading zeros in N are
// allowed, so that the runs compared can have arguments of the same length.
#include "calculator_depth.h"
#include "formulas.h"
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
                 "       kelvaro_instruction_counts calculator DEPTH N\n"
                 "       kelvaro_instruction_counts "
                 "program_run|program_run_many|program_run_many_fast|bare_loop f1|f2 N\n");
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

// The formula on `values` values of x, in blocks of kBlock: the same
// inputs each block, so the set-up does not grow with the count.
int CountFormula(const std::string &side, const kelvaro_bench::Formula &formula,
                 unsigned long long values)
{
    constexpr std::size_t kBlock = 1000;
    const std::vector<double> inputs = kelvaro_bench::MakeInputs(kBlock);
    std::vector<double> results(kBlock);
    kelvaro_rpn_program *program = nullptr;
    kelvaro_rpn_outcome outcome{};
    if (kelvaro_rpn_compile(formula.program.data(), formula.program.size(), &program,
                            &outcome) != KELVARO_RPN_OK) {
        std::fprintf(stderr, "%s: the program does not compile\n", formula.name.c_str());
        return EXIT_FAILURE;
    }
    const double two = kelvaro_bench::RunTimeTwo();
    std::size_t failures = 0;
    for (unsigned long long done = 0; done < values;) {
        const auto block = static_cast<std::size_t>(
            values - done < kBlock ? values - done : static_cast<unsigned long long>(kBlock));
        if (side == "program_run") {
            for (std::size_t i = 0; i < block; ++i) {
                if (kelvaro_rpn_program_run(program, &inputs[i], 1, nullptr, &outcome) !=
                    KELVARO_RPN_OK) {
                    ++failures;
                }
                valueSink = outcome.value;
            }
        } else if (side == "program_run_many" || side == "program_run_many_fast") {
            failures += (side == "program_run_many" ? kelvaro_rpn_program_run_many
                                                    : kelvaro_rpn_program_run_many_fast)(
                program, inputs.data(), 1, block, results.data(), nullptr);
            valueSink = results[block - 1];
        } else {
            formula.bare(inputs.data(), block, two, results.data());
            valueSink = results[block - 1];
        }
        done += block;
    }
    kelvaro_rpn_program_destroy(program);
    if (failures != 0) {
        std::fprintf(stderr, "%s %s: %zu runs failed\n", side.c_str(), formula.name.c_str(),
                     failures);
        return EXIT_FAILURE;
    }
    std::fprintf(stderr, "%s %s, %llu values: last %.17g\n", side.c_str(), formula.name.c_str(),
                 values, static_cast<double>(valueSink));
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

    if (side == "program_run" || side == "program_run_many" ||
        side == "program_run_many_fast" || side == "bare_loop") {
        for (const kelvaro_bench::Formula &formula : kelvaro_bench::MakeFormulas()) {
            if (formula.name == argv[2]) {
                return CountFormula(side, formula, calls);
            }
        }
        return Usage();
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
