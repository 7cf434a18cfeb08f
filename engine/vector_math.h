// The fast forms of the functions and the power, over arrays of values: may
// differ from the libm call by the bounds kelvaro_rpn_program_run_many_fast
// states, never in which values are infinite, NaN or zero beyond them.
#ifndef KELVARO_ENGINE_VECTOR_MATH_H
#define KELVARO_ENGINE_VECTOR_MATH_H

#include "engine/value.h"

#include <cstddef>
#include <cstdint>

namespace kelvaro {
namespace vector_math {

// Whether this build calls vector routines (glibc's libmvec on x86-64);
// elsewhere every function is the libm call per value.
bool HasVectorRoutines();

// The function of one value of `token` (sine to exponential) on each value:
// exactly the libm call, and the fast form.
void ExactFunction(std::uint8_t token, Value *values, std::size_t count);
void Function(std::uint8_t token, Value *values, std::size_t count);

// bases[i] raised to exponents[i], and to one exponent.
void Power(Value *bases, const Value *exponents, std::size_t count);
void PowerOfNumber(Value *bases, Value exponent, std::size_t count);

}  // namespace vector_math
}  // namespace kelvaro

#endif
