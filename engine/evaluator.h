// Evaluation of one expression in reverse Polish notation.
#ifndef KELVARO_ENGINE_EVALUATOR_H
#define KELVARO_ENGINE_EVALUATOR_H

#include "value.h"

#include <cstdint>

namespace kelvaro {

// Evaluates the NUL-terminated 8-bit `expression`, stores the final top of
// the stack in `result` and leaves the stack empty. A token starts at the
// first byte and after every space or tab; only its first byte counts. An
// invalid token or a stack bound ends the process (see value_stack.h):
//   "Invalid character: 'c'\n", status 1.
void EvaluateExpression(Value &result, const char *expression);

// 2 * 3 * ... * n in 32-bit two's-complement arithmetic; 1 for n < 2.
std::int32_t Factorial(std::int32_t n);

// Truncates toward zero, saturating at the int32 bounds; NaN gives 0.
std::int32_t TruncateToInt32(Value value);

}  // namespace kelvaro

#endif
