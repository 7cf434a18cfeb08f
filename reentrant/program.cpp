// Programs: a text compiled once into its steps, run on many stacks.
#include <kelvaro/rpn.h>

#include "engine/block_run.h"
#include "engine/check.h"
#include "engine/program.h"
#include "engine/run_once.h"
#include "engine/value_stack.h"

#include <cstring>
#include <limits>
#include <new>

struct kelvaro_rpn_program {
    kelvaro::Step *steps;
    std::size_t count;
    std::size_t length;  // of the text: where an underflow at its end is
    kelvaro::ProgramShape shape;
    bool lists;          // has a '#' or '@'
    // The input counts [fitsFrom, fitsTo] where EndsWithAValue: two compares
    // before a run.
    std::size_t fitsFrom;
    std::size_t fitsTo;
};

namespace {

kelvaro_rpn_status Report(const kelvaro_rpn_outcome &result, kelvaro_rpn_outcome *outcome)
{
    if (outcome != nullptr) {
        *outcome = result;
    }
    return result.status;
}

// A run that the program's shape proves can meet no bound and that ends
// with a value: the inputs are enough for every pop, leave room for every
// push and leave at least one value at the end.
bool EndsWithAValue(const kelvaro_rpn_program &program, std::size_t count)
{
    return count >= program.fitsFrom && count <= program.fitsTo;
}

// The counts where EndsWithAValue holds, from the shape (fitsFrom above
// fitsTo where there are none).
void FindFits(kelvaro_rpn_program &program)
{
    const kelvaro::ProgramShape &shape = program.shape;
    std::size_t leavesOne = shape.change > 0 ? 0 : 1;
    if (shape.change < 0) {
        leavesOne = static_cast<std::size_t>(-shape.change) + 1;
    }
    program.fitsFrom = shape.needs > leavesOne ? shape.needs : leavesOne;
    program.fitsTo = 0;
    if (shape.rise <= kelvaro::kStackCapacity) {
        program.fitsTo = kelvaro::kStackCapacity - shape.rise;
    } else {
        program.fitsFrom = 1;
    }
}

// The run of the program on `count` inputs, as evaluating its text with them
// pushed first would end.
kelvaro_rpn_outcome RunChecked(const kelvaro_rpn_program &program, const double *inputs,
                               std::size_t count, const kelvaro_rpn_listing *listing)
{
    if (count > kelvaro::kStackCapacity) {
        return kelvaro_rpn_outcome{KELVARO_RPN_STACK_OVERFLOW, 0, 0};
    }
    kelvaro::ValueStack stack;
    if (count > 0) {
        std::memcpy(stack.values, inputs, count * sizeof(double));
    }
    stack.depth = count;
    kelvaro_rpn_outcome result =
        kelvaro::RunSteps(stack, program.steps, program.count, listing);
    if (result.status == KELVARO_RPN_OK) {
        if (stack.depth == 0) {
            result = kelvaro_rpn_outcome{KELVARO_RPN_STACK_UNDERFLOW, 0, program.length};
        } else {
            result.value = stack.values[stack.depth - 1];
            result.offset = program.length;  // as kelvaro_rpn_evaluate reports a success
        }
    }
    return result;
}

// Apart from the unchecked run, so that its stack and registers do not
// weigh on that run's entry and exit.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
kelvaro_rpn_status RunCheckedAndReport(const kelvaro_rpn_program &program, const double *inputs,
                                       std::size_t count, const kelvaro_rpn_listing *listing,
                                       kelvaro_rpn_outcome *outcome)
{
    return Report(RunChecked(program, inputs, count, listing), outcome);
}

}  // namespace

extern "C" kelvaro_rpn_status kelvaro_rpn_compile(const char *text, size_t length,
                                                  kelvaro_rpn_program **program,
                                                  kelvaro_rpn_outcome *outcome)
{
    *program = nullptr;
    length = text == nullptr ? 0 : length;
    kelvaro_rpn_outcome result{};
    const std::size_t count = kelvaro::CompileSteps(text, length, nullptr, 0, result);
    if (result.status != KELVARO_RPN_OK) {
        return Report(result, outcome);
    }
    // Zeroed, then filled in below: cppcheck 2.10 fails ("Cyclic reverse
    // analysis") on an aggregate initializer here.
    auto *compiled = new (std::nothrow) kelvaro_rpn_program();
    auto *steps = new (std::nothrow) kelvaro::Step[count + 1];
    if (compiled == nullptr || steps == nullptr) {
        delete compiled;
        delete[] steps;
        return Report(kelvaro_rpn_outcome{KELVARO_RPN_OUT_OF_MEMORY, 0, 0}, outcome);
    }
    kelvaro::CompileSteps(text, length, steps, count, result);
    // Where a run that succeeds ends, as kelvaro_rpn_evaluate reports it.
    steps[count] = kelvaro::Step{0, length, length, kelvaro::kEndStep};
    compiled->steps = steps;
    compiled->count = count;
    compiled->length = length;
    compiled->shape = kelvaro::ShapeOf(steps, count);
    compiled->lists = kelvaro::HasListings(steps, count);
    FindFits(*compiled);
    *program = compiled;
    return Report(kelvaro_rpn_outcome{KELVARO_RPN_OK, 0, length}, outcome);
}

extern "C" void kelvaro_rpn_program_destroy(kelvaro_rpn_program *program)
{
    if (program != nullptr) {
        delete[] program->steps;
        delete program;
    }
}

extern "C" kelvaro_rpn_status kelvaro_rpn_program_run(const kelvaro_rpn_program *program,
                                                      const double *inputs, size_t count,
                                                      const kelvaro_rpn_listing *listing,
                                                      kelvaro_rpn_outcome *outcome)
{
    const kelvaro_rpn_program &compiled = *program;
    if (EndsWithAValue(compiled, count) && (listing == nullptr || !compiled.lists)) {
        // Nothing to list and no bound to meet: no check at all.
        const kelvaro_rpn_outcome result = kelvaro::RunOnceUnchecked(compiled.steps, inputs, count);
        if (outcome != nullptr) {
            // Field by field: a copy of the whole goes through the stack.
            outcome->status = KELVARO_RPN_OK;
            // NOLINTNEXTLINE(clang-analyzer-core.uninitialized.Assign): the shape's guarantee
            outcome->value = result.value;
            outcome->offset = result.offset;
        }
        return KELVARO_RPN_OK;
    }
    return RunCheckedAndReport(compiled, inputs, count, listing, outcome);
}

namespace {

// Every run of a program on `count` inputs ends alike but for its value: the
// shape, not the values, decides whether a bound is met. So a failing run
// fails them all, and no input needs reading.
std::size_t RunMany(kelvaro::Precision precision, const kelvaro_rpn_program &compiled,
                    const double *inputs, std::size_t count, std::size_t runs, double *results,
                    kelvaro_rpn_status *statuses)
{
    if (runs == 0) {
        return 0;
    }
    kelvaro_rpn_status status = KELVARO_RPN_OK;
    if (EndsWithAValue(compiled, count)) {
        kelvaro::RunBlocks(precision, compiled.steps, compiled.count, count + compiled.shape.rise,
                           inputs, count, runs, results);
    } else {
        status = RunChecked(compiled, inputs, count, nullptr).status;
        for (std::size_t i = 0; i < runs; ++i) {
            results[i] = std::numeric_limits<double>::quiet_NaN();
        }
    }
    // Last, so that they may lie over the inputs as results may.
    if (statuses != nullptr) {
        for (std::size_t i = 0; i < runs; ++i) {
            statuses[i] = status;
        }
    }
    return status == KELVARO_RPN_OK ? 0 : runs;
}

}  // namespace

extern "C" size_t kelvaro_rpn_program_run_many(const kelvaro_rpn_program *program,
                                               const double *inputs, size_t count, size_t runs,
                                               double *results, kelvaro_rpn_status *statuses)
{
    return RunMany(kelvaro::Precision::kExact, *program, inputs, count, runs, results, statuses);
}

extern "C" size_t kelvaro_rpn_program_run_many_fast(const kelvaro_rpn_program *program,
                                                    const double *inputs, size_t count,
                                                    size_t runs, double *results,
                                                    kelvaro_rpn_status *statuses)
{
    return RunMany(kelvaro::Precision::kFast, *program, inputs, count, runs, results, statuses);
}

extern "C" size_t kelvaro_rpn_program_inputs(const kelvaro_rpn_program *program)
{
    // Enough for every pop, and for one value left at the end.
    const kelvaro::ProgramShape &shape = program->shape;
    const std::ptrdiff_t forTheEnd = 1 - shape.change;
    return forTheEnd > 0 && static_cast<std::size_t>(forTheEnd) > shape.needs
               ? static_cast<std::size_t>(forTheEnd)
               : shape.needs;
}

extern "C" size_t kelvaro_rpn_program_outputs(const kelvaro_rpn_program *program, size_t count)
{
    // Only a run that ends with a value leaves any; past the checks count is
    // at most the capacity, so the signed sum cannot overflow.
    if (!EndsWithAValue(*program, count)) {
        return 0;
    }
    return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(count) + program->shape.change);
}

extern "C" size_t kelvaro_rpn_check(const char *text, size_t length, kelvaro_rpn_warning *warnings,
                                    size_t capacity)
{
    return kelvaro::CheckText(text, text == nullptr ? 0 : length, warnings,
                              warnings == nullptr ? 0 : capacity);
}
