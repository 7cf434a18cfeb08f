// kelvaro_rpn_calculator_evaluate against one-shot evaluations.
#ifndef KELVARO_FUZZ_CALCULATOR_CHECKS_H
#define KELVARO_FUZZ_CALCULATOR_CHECKS_H

#include "api_evaluation.h"

#include <string_view>

namespace kelvaro_fuzz {

// Runs `text` on a calculator twice: from an empty stack, where it must end
// as `oneShot` did, and from a stack pre-filled with PrefillText(text), where
// it must end as the one-shot evaluation of the pre-fill, a space and `text`
// does. Either way a failure leaves the stack bit for bit as it was, a
// success leaves the value on top (NaN with an empty stack, where one-shot
// reports an underflow at the end), and the listings are the one-shot ones.
void CheckCalculator(std::string_view text, const ApiEvaluation &oneShot);

}  // namespace kelvaro_fuzz

#endif
