#include "programs.h"

#include <kelvaro/rpn.h>

#include <benchmark/benchmark.h>
#include <muParser.h>
#include <omp.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kelvaro_bench {
namespace {

struct ProgramDeleter {
    void operator()(kelvaro_rpn_program *program) const { kelvaro_rpn_program_destroy(program); }
};
using Program = std::unique_ptr<kelvaro_rpn_program, ProgramDeleter>;

Program Compile(const std::string &text)
{
    kelvaro_rpn_program *program = nullptr;
    kelvaro_rpn_outcome outcome;
    if (kelvaro_rpn_compile(text.data(), text.size(), &program, &outcome) != KELVARO_RPN_OK) {
        return nullptr;
    }
    return Program(program);
}

// Each side runs the formula on inputs[0 .. count) into results, the values
// in order; the program sides return how many runs failed.
std::size_t RunEach(const kelvaro_rpn_program &program, const double *inputs, std::size_t count,
                    double *results)
{
    std::size_t failures = 0;
    for (std::size_t i = 0; i < count; ++i) {
        kelvaro_rpn_outcome outcome;
        if (kelvaro_rpn_program_run(&program, inputs + i, 1, nullptr, &outcome) !=
            KELVARO_RPN_OK) {
            ++failures;
        }
        results[i] = outcome.value;
    }
    return failures;
}

std::size_t RunMany(const kelvaro_rpn_program &program, const double *inputs, std::size_t count,
                    double *results)
{
    return kelvaro_rpn_program_run_many(&program, inputs, 1, count, results, nullptr);
}

std::size_t RunManyFast(const kelvaro_rpn_program &program, const double *inputs,
                        std::size_t count, double *results)
{
    return kelvaro_rpn_program_run_many_fast(&program, inputs, 1, count, results, nullptr);
}

// muparser as its documentation shows it: the variable defined once on a
// double the caller sets, the expression set once, Eval for every value.
class MuparserVar {
public:
    explicit MuparserVar(const std::string &infix)
    {
        parser_.DefineVar("x", &x_);
        parser_.SetExpr(infix);
        parser_.Eval();  // the first Eval parses; the later ones run the bytecode
    }

    void Run(const double *inputs, std::size_t count, double *results)
    {
        for (std::size_t i = 0; i < count; ++i) {
            x_ = inputs[i];
            results[i] = parser_.Eval();
        }
    }

private:
    mu::Parser parser_;
    double x_ = 1.0;
};

// muparser's bulk mode: the variable defined on the array of the inputs,
// Eval(results, count) giving value i from element i, on `threads` OpenMP
// threads at most (muparser asks for as many as omp_get_max_threads gives).
class MuparserBulk {
public:
    MuparserBulk(const std::string &infix, double *inputs, int threads)
        : previousThreads_(omp_get_max_threads())
    {
        omp_set_num_threads(threads);
        parser_.DefineVar("x", inputs);
        parser_.SetExpr(infix);
    }

    ~MuparserBulk() { omp_set_num_threads(previousThreads_); }

    MuparserBulk(const MuparserBulk &) = delete;
    MuparserBulk &operator=(const MuparserBulk &) = delete;

    void Run(std::size_t count, double *results)
    {
        parser_.Eval(results, static_cast<int>(count));
    }

private:
    int previousThreads_;
    mu::Parser parser_;
};

bool SameBits(double a, double b)
{
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

// How many of `values` are not the reference's bit for bit, and how many
// of those are more than rounding away (relative difference above
// `tolerance`, 1e-9 unless said, or one of the two not finite).
struct Mismatches {
    std::size_t bits = 0;
    std::size_t far = 0;
};

Mismatches Compare(const std::vector<double> &values, const std::vector<double> &reference,
                   double tolerance = 1e-9)
{
    Mismatches mismatches;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (SameBits(values[i], reference[i])) {
            continue;
        }
        ++mismatches.bits;
        const double difference = std::fabs(values[i] - reference[i]);
        if (!(difference <= tolerance * std::fabs(reference[i]))) {
            ++mismatches.far;
        }
    }
    return mismatches;
}

// The time per value comes from the number of values of one iteration.
void CountValues(benchmark::State &state, std::size_t count)
{
    state.counters[kValuesCounter] = static_cast<double>(count);
}

}  // namespace

bool ProgramsAgree(const std::vector<Formula> &formulas, const std::vector<double> &inputs,
                   std::FILE *report)
{
    bool agree = true;
    const std::size_t count = inputs.size();
    std::vector<double> mutableInputs = inputs;
    for (const Formula &formula : formulas) {
        const Program program = Compile(formula.program);
        if (program == nullptr) {
            std::fprintf(report, "%-9s the program \"%s\" does not compile\n",
                         formula.name.c_str(), formula.program.c_str());
            agree = false;
            continue;
        }
        std::vector<double> bare(count);
        formula.bare(inputs.data(), count, RunTimeTwo(), bare.data());
        std::vector<double> each(count);
        const std::size_t eachFailures = RunEach(*program, inputs.data(), count, each.data());
        std::vector<double> many(count);
        const std::size_t manyFailures = RunMany(*program, inputs.data(), count, many.data());
        std::vector<double> fast(count);
        const std::size_t fastFailures =
            RunManyFast(*program, inputs.data(), count, fast.data());
        std::vector<double> var(count);
        std::vector<double> bulk(count);
        try {
            MuparserVar(formula.infix).Run(inputs.data(), count, var.data());
            MuparserBulk(formula.infix, mutableInputs.data(), 1).Run(count, bulk.data());
        } catch (const mu::Parser::exception_type &error) {
            std::fprintf(report, "%-9s muparser rejects \"%s\": %s\n", formula.name.c_str(),
                         formula.infix.c_str(), error.GetMsg().c_str());
            agree = false;
            continue;
        }
        const Mismatches eachMismatches = Compare(each, bare);
        const Mismatches manyMismatches = Compare(many, bare);
        const Mismatches varMismatches = Compare(var, bare);
        const Mismatches bulkMismatches = Compare(bulk, bare);
        // The fast mode may round differently: counted beyond 1e-12 relative,
        // failed like muparser only if a wrong formula could explain it. (f2's
        // 1 - sin^2 cancels near sin^2 = 1, where its last bits are noise.)
        const Mismatches fastMismatches = Compare(fast, bare, 1e-12);
        // A program is the same arithmetic in the same order as the bare
        // loop: any difference is a fault. muparser may round differently,
        // but a wrong formula would be far off on most values.
        const bool programsSame = eachFailures == 0 && manyFailures == 0 &&
                                  eachMismatches.bits == 0 && manyMismatches.bits == 0;
        const bool fastClose = fastFailures == 0 && fastMismatches.far * 100 < count;
        const bool muparserClose =
            varMismatches.far * 100 < count && bulkMismatches.far * 100 < count;
        std::fprintf(report,
                     "%-9s \"%s\" / \"%s\" on %zu values, against the bare loop: "
                     "program_run %zu different (%zu failed), program_run_many %zu different "
                     "(%zu failed), program_run_many_fast %zu different (%zu beyond 1e-12); "
                     "muparser Eval %zu different (%zu beyond rounding), "
                     "muparser bulk %zu different (%zu beyond rounding)%s\n",
                     formula.name.c_str(), formula.program.c_str(), formula.infix.c_str(), count,
                     eachMismatches.bits, eachFailures, manyMismatches.bits, manyFailures,
                     fastMismatches.bits, fastMismatches.far, varMismatches.bits, varMismatches.far, bulkMismatches.bits,
                     bulkMismatches.far,
                     programsSame && fastClose && muparserClose ? "" : "  MISMATCH");
        agree = agree && programsSame && fastClose && muparserClose;
    }
    return agree;
}

namespace {

// One pass over every value per iteration, for every side alike.
template <typename Pass>
void TimePasses(benchmark::State &state, std::size_t count, Pass pass)
{
    for (auto _ : state) {
        pass();
        benchmark::ClobberMemory();
    }
    CountValues(state, count);
}

using ProgramRunner = std::size_t (*)(const kelvaro_rpn_program &, const double *, std::size_t,
                                      double *);

// The formula's program on every value, through `run`.
void RegisterProgramSide(const std::string &name, const Formula &formula,
                         std::vector<double> *values, ProgramRunner run)
{
    benchmark::RegisterBenchmark(name.c_str(), [values, formula, run](benchmark::State &state) {
        const Program program = Compile(formula.program);
        if (program == nullptr) {
            state.SkipWithError("the program does not compile");
            return;
        }
        std::vector<double> results(values->size());
        TimePasses(state, values->size(), [&] {
            benchmark::DoNotOptimize(run(*program, values->data(), values->size(), results.data()));
        });
    });
}

}  // namespace

void RegisterPrograms(const Formula &formula, std::vector<double> &inputs)
{
    const std::string prefix = formula.name + "/";
    std::vector<double> *values = &inputs;

    benchmark::RegisterBenchmark(
        (prefix + kBareLoopSide).c_str(), [values, formula](benchmark::State &state) {
            std::vector<double> results(values->size());
            const double two = RunTimeTwo();
            TimePasses(state, values->size(), [&] {
                formula.bare(values->data(), values->size(), two, results.data());
            });
        });

    RegisterProgramSide(prefix + kProgramRunSide, formula, values, RunEach);
    RegisterProgramSide(prefix + kProgramRunManySide, formula, values, RunMany);
    RegisterProgramSide(prefix + kProgramRunManyFastSide, formula, values, RunManyFast);

    benchmark::RegisterBenchmark(
        (prefix + kMuparserVarSide).c_str(), [values, formula](benchmark::State &state) {
            MuparserVar parser(formula.infix);
            std::vector<double> results(values->size());
            TimePasses(state, values->size(),
                       [&] { parser.Run(values->data(), values->size(), results.data()); });
        });

    benchmark::RegisterBenchmark(
        (prefix + kMuparserBulkSide).c_str(), [values, formula](benchmark::State &state) {
            MuparserBulk parser(formula.infix, values->data(), 1);
            std::vector<double> results(values->size());
            TimePasses(state, values->size(),
                       [&] { parser.Run(values->size(), results.data()); });
        });

    benchmark::RegisterBenchmark(
        (prefix + kMuparserBulkThreadsSide).c_str(),
        [values, formula](benchmark::State &state) {
            MuparserBulk parser(formula.infix, values->data(), omp_get_num_procs());
            std::vector<double> results(values->size());
            TimePasses(state, values->size(),
                       [&] { parser.Run(values->size(), results.data()); });
        })
        ->UseRealTime();
}

}  // namespace kelvaro_bench
