// One-shot evaluation: the stack lives on the call's own stack.
#include "reentrant/bridge.h"

#include "engine/evaluator.h"
#include "engine/value_stack.h"

namespace {

// A NULL text is the empty text whatever length comes with it: nothing is
// read through a null pointer.
std::size_t LengthOf(const char *text, std::size_t length)
{
    return text == nullptr ? 0 : length;
}

}  // namespace

extern "C" kelvaro_rpn_status kelvaro_rpn_evaluate_listing(const char *text, size_t length,
                                                           const kelvaro_rpn_listing *listing,
                                                           kelvaro_rpn_outcome *outcome)
{
    kelvaro::ValueStack stack;
    kelvaro::ResetStack(stack);
    return kelvaro::Report(kelvaro::EvaluateExpression(stack, text, LengthOf(text, length),
                                                       kelvaro::ListingOf(listing)),
                           outcome);
}

extern "C" kelvaro_rpn_status kelvaro_rpn_evaluate(const char *text, size_t length,
                                                   kelvaro_rpn_outcome *outcome)
{
    return kelvaro_rpn_evaluate_listing(text, length, nullptr, outcome);
}
