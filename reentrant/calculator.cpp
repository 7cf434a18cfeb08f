// A calculator whose stack carries over from one evaluation to the next.
#include <kelvaro/rpn.h>

#include "engine/evaluator.h"
#include "engine/value_stack.h"

#include <cstring>
#include <limits>
#include <new>

struct kelvaro_rpn_calculator {
    kelvaro::ValueStack stack;
    // What a failed text popped, to put it back: the stack is never copied.
    kelvaro::StackJournal journal;
};

extern "C" kelvaro_rpn_calculator *kelvaro_rpn_calculator_create(void)
{
    auto *calculator = new (std::nothrow) kelvaro_rpn_calculator;
    if (calculator != nullptr) {
        kelvaro::ResetStack(calculator->stack);
    }
    return calculator;
}

extern "C" void kelvaro_rpn_calculator_destroy(kelvaro_rpn_calculator *calculator)
{
    delete calculator;
}

extern "C" kelvaro_rpn_status kelvaro_rpn_calculator_evaluate(kelvaro_rpn_calculator *calculator,
                                                              const char *text, size_t length,
                                                              const kelvaro_rpn_listing *listing,
                                                              kelvaro_rpn_outcome *outcome)
{
    using namespace kelvaro;
    ValueStack &stack = calculator->stack;
    StartJournal(calculator->journal, stack);
    kelvaro_rpn_outcome result = RunTokensJournaled(stack, calculator->journal, text,
                                                    text == nullptr ? 0 : length, listing);
    if (result.status != KELVARO_RPN_OK) {
        RestoreStack(stack, calculator->journal);
    } else if (stack.depth == 0) {
        result.value = std::numeric_limits<double>::quiet_NaN();
    } else {
        result.value = stack.values[stack.depth - 1];
    }
    if (outcome != nullptr) {
        *outcome = result;
    }
    return result.status;
}

extern "C" kelvaro_rpn_status kelvaro_rpn_calculator_push(kelvaro_rpn_calculator *calculator,
                                                          double value)
{
    return kelvaro::PushValue(calculator->stack, value) ? KELVARO_RPN_OK
                                                        : KELVARO_RPN_STACK_OVERFLOW;
}

extern "C" size_t kelvaro_rpn_calculator_depth(const kelvaro_rpn_calculator *calculator)
{
    return kelvaro::StackCount(calculator->stack);
}

extern "C" size_t kelvaro_rpn_calculator_values(const kelvaro_rpn_calculator *calculator,
                                                double *values, size_t capacity)
{
    const std::size_t count = kelvaro::StackCount(calculator->stack);
    const std::size_t copied = count < capacity ? count : capacity;
    if (copied > 0) {
        std::memcpy(values, calculator->stack.values, copied * sizeof(double));
    }
    return count;
}

extern "C" void kelvaro_rpn_calculator_clear(kelvaro_rpn_calculator *calculator)
{
    kelvaro::ResetStack(calculator->stack);
}
