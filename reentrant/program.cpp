// Programs: a text compiled once into its steps, run on many stacks.
#include <kelvaro/rpn.h>

#include "engine/check.h"
#include "engine/program.h"
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
};

namespace {

kelvaro_rpn_status Report(const kelvaro_rpn_outcome &result, kelvaro_rpn_outcome *outcome)
{
    if (outcome != nullptr) {
        *outcome = result;
    }
    return result.status;
}

// A run that the program's shape proves can meet no bound: the inputs are
// enough for every pop and leave room for every push.
bool FitsUnchecked(const kelvaro_rpn_program &program, std::size_t count)
{
    return count >= program.shape.needs && count <= kelvaro::kStackCapacity &&
           program.shape.rise <= kelvaro::kStackCapacity - count;
}

// ... and leaves at least one value, so that it ends without a failure.
bool EndsWithAValue(const kelvaro_rpn_program &program, std::size_t count)
{
    return FitsUnchecked(program, count) &&
           program.shape.change + static_cast<std::ptrdiff_t>(count) > 0;
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
    auto *steps = new (std::nothrow) kelvaro::Step[count > 0 ? count : 1];
    if (compiled == nullptr || steps == nullptr) {
        delete compiled;
        delete[] steps;
        return Report(kelvaro_rpn_outcome{KELVARO_RPN_OUT_OF_MEMORY, 0, 0}, outcome);
    }
    kelvaro::CompileSteps(text, length, steps, count, result);
    compiled->steps = steps;
    compiled->count = count;
    compiled->length = length;
    compiled->shape = kelvaro::ShapeOf(steps, count);
    compiled->lists = kelvaro::HasListings(steps, count);
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
    if ((listing == nullptr || !compiled.lists) && EndsWithAValue(compiled, count)) {
        // Nothing to list and no bound to meet: the run of run_many.
        kelvaro_rpn_outcome result{KELVARO_RPN_OK, 0, compiled.length};
        kelvaro::RunManyUnchecked(compiled.steps, compiled.count, inputs, count, 1, &result.value);
        return Report(result, outcome);
    }
    return Report(RunChecked(compiled, inputs, count, listing), outcome);
}

extern "C" size_t kelvaro_rpn_program_run_many(const kelvaro_rpn_program *program,
                                               const double *inputs, size_t count, size_t runs,
                                               double *results, kelvaro_rpn_status *statuses)
{
    const kelvaro_rpn_program &compiled = *program;
    std::size_t failed = 0;
    if (EndsWithAValue(compiled, count)) {
        // Every run ends with a value and meets no bound: no check at all.
        kelvaro::RunManyUnchecked(compiled.steps, compiled.count, inputs, count, runs, results);
        if (statuses != nullptr) {
            for (std::size_t i = 0; i < runs; ++i) {
                statuses[i] = KELVARO_RPN_OK;
            }
        }
        return 0;
    }
    for (std::size_t i = 0; i < runs; ++i) {
        const kelvaro_rpn_outcome result =
            RunChecked(compiled, count > 0 ? inputs + i * count : inputs, count, nullptr);
        results[i] = result.status == KELVARO_RPN_OK ? result.value
                                                     : std::numeric_limits<double>::quiet_NaN();
        if (statuses != nullptr) {
            statuses[i] = result.status;
        }
        failed += result.status == KELVARO_RPN_OK ? 0 : 1;
    }
    return failed;
}

extern "C" size_t kelvaro_rpn_program_run_many_fast(const kelvaro_rpn_program *program,
                                                    const double *inputs, size_t count,
                                                    size_t runs, double *results,
                                                    kelvaro_rpn_status *statuses)
{
    // Every command is exact until it has a faster form of its own.
    return kelvaro_rpn_program_run_many(program, inputs, count, runs, results, statuses);
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
