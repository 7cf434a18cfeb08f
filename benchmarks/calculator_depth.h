// A kelvaro_rpn_calculator holding a given number of values, and the text
// that evaluates on it without changing its depth: the benchmark and the
// instruction count both time kCalculatorStep on such a calculator.
#ifndef KELVARO_BENCHMARKS_CALCULATOR_DEPTH_H
#define KELVARO_BENCHMARKS_CALCULATOR_DEPTH_H

#include <kelvaro/rpn.h>

#include <cstddef>

namespace kelvaro_bench {

// Pushes 1 and adds it to the top: one value more, then one less, so the
// depth after the call is the depth before it, and the top grows by 1.
inline constexpr char kCalculatorStep[] = "1 +";
inline constexpr std::size_t kCalculatorStepLength = sizeof kCalculatorStep - 1;

// A calculator with `depth` values of 1 on its stack, or null if it cannot
// be created or filled (depth above KELVARO_RPN_STACK_CAPACITY - 1 leaves no
// room for the step's push). Free it with kelvaro_rpn_calculator_destroy.
kelvaro_rpn_calculator *CalculatorAtDepth(std::size_t depth);

}  // namespace kelvaro_bench

#endif
