// One-shot evaluation: the stack lives on the call's own stack.
#include <kelvaro/rpn.h>

#include "engine/evaluator.h"
#include "engine/value_stack.h"

namespace {

kelvaro_rpn_status EvaluateOnce(const char *text, size_t length,
                                const kelvaro_rpn_listing *listing, kelvaro_rpn_outcome *outcome)
{
    kelvaro::ValueStack stack;
    kelvaro::ResetStack(stack);
    // A NULL text is the empty text whatever length comes with it: nothing is
    // read through a null pointer.
    const kelvaro_rpn_outcome result =
        kelvaro::EvaluateExpression(stack, text, text == nullptr ? 0 : length, listing);
    if (outcome != nullptr) {
        *outcome = result;
    }
    return result.status;
}

}  // namespace

extern "C" kelvaro_rpn_status kelvaro_rpn_evaluate_listing(const char *text, size_t length,
                                                           const kelvaro_rpn_listing *listing,
                                                           kelvaro_rpn_outcome *outcome)
{
    return EvaluateOnce(text, length, listing, outcome);
}

extern "C" kelvaro_rpn_status kelvaro_rpn_evaluate(const char *text, size_t length,
                                                   kelvaro_rpn_outcome *outcome)
{
    return EvaluateOnce(text, length, nullptr, outcome);
}

extern "C" kelvaro_rpn_status kelvaro_rpn_evaluate_checked(
    const char *text, size_t length, const kelvaro_rpn_listing *listing,
    kelvaro_rpn_warning *warnings, size_t capacity, size_t *warning_count,
    kelvaro_rpn_outcome *outcome)
{
    kelvaro::ValueStack stack;
    kelvaro::ResetStack(stack);
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    kelvaro::TextChecker checker{begin, warnings, warnings == nullptr ? 0 : capacity};
    checker.published = warning_count;
    const kelvaro_rpn_outcome result =
        kelvaro::EvaluateChecked(stack, text, text == nullptr ? 0 : length, listing, checker);
    if (warning_count != nullptr) {
        *warning_count = checker.count;
    }
    if (outcome != nullptr) {
        *outcome = result;
    }
    return result.status;
}
