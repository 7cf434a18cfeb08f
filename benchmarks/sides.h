// The two evaluators under test, each as a benchmark and as a plain
// evaluation for the start-up check that both compute the same values.
#ifndef KELVARO_BENCHMARKS_SIDES_H
#define KELVARO_BENCHMARKS_SIDES_H

#include "workloads.h"

#include <string>

namespace kelvaro_bench {

// Benchmark names are "<workload>/<side>".
inline constexpr char kCalculatorRpnSide[] = "CalculatorRPN";
inline constexpr char kMuparserSide[] = "muparser";
inline constexpr char kRpnApiSide[] = "kelvaro_rpn";
inline constexpr char kMuparserEvalSide[] = "muparser_eval";
inline constexpr char kMuparserEvalOnceSide[] = "muparser_eval_once";

// The text CalculatorRPN returns for the workload.
std::string EvaluateWithCalculatorRpn(const Workload &workload);

// muparser's value for the workload's infix, formatted with "%f"; the
// parser's message if it rejects the text.
std::string EvaluateWithMuparser(const Workload &workload);

// kelvaro_rpn_evaluate's value for the workload, formatted with "%f".
std::string EvaluateWithRpnApi(const Workload &workload);

// CalculatorRPN: convert, evaluate, print the line, return the text.
void RegisterCalculatorRpn(const Workload &workload);
// muparser doing the same: SetExpr, Eval, "%f", write the line.
void RegisterMuparser(const Workload &workload);
// kelvaro_rpn_evaluate: evaluate to a double.
void RegisterRpnApi(const Workload &workload);
// muparser doing the same: SetExpr and Eval.
void RegisterMuparserEval(const Workload &workload);
// muparser as its users call it: SetExpr once before the loop, Eval alone
// on every call. The workloads have no variable, so muparser's optimiser
// folds each into one constant and Eval returns it: no text is read in the
// loop, unlike every other side.
void RegisterMuparserEvalOnce(const Workload &workload);

// Registers "calculator/kelvaro_rpn_calculator/<depth>": "1 +" on a
// calculator holding 16 and 264 values (264 is the most that leaves room for
// the 1).
void RegisterCalculatorDepths();

// Registers "length_sweep/CalculatorRPN/<bytes>" for 16 to 4096 bytes with a
// linear fit.
void RegisterLengthSweep();

}  // namespace kelvaro_bench

#endif
