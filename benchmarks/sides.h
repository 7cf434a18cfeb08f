// The two evaluators under test, each as a benchmark and as a plain
// evaluation for the start-up check that both compute the same values.
#ifndef KELVARO_BENCHMARKS_SIDES_H
#define KELVARO_BENCHMARKS_SIDES_H

#include "workloads.h"

#include <string>

namespace kelvaro_bench {

// The text CalculatorRPN returns for the workload.
std::string EvaluateWithCalculatorRpn(const Workload &workload);

// muparser's value for the workload's infix, formatted with "%f"; the
// parser's message if it rejects the text.
std::string EvaluateWithMuparser(const Workload &workload);

// Registers "<workload>/CalculatorRPN" and "<workload>/muparser".
void RegisterCalculatorRpn(const Workload &workload);
void RegisterMuparser(const Workload &workload);

// Registers "length_sweep/CalculatorRPN/<bytes>" for 16 to 4096 bytes with a
// linear fit.
void RegisterLengthSweep();

}  // namespace kelvaro_bench

#endif
