// The texts both sides evaluate: each workload once in reverse Polish
// notation for CalculatorRPN and once as the same arithmetic in infix for
// muparser.
#ifndef KELVARO_BENCHMARKS_WORKLOADS_H
#define KELVARO_BENCHMARKS_WORKLOADS_H

#include <cstddef>
#include <string>
#include <vector>

namespace kelvaro_bench {

struct Workload {
    std::string name;
    std::wstring rpn;
    std::string infix;
};

// short, functions, long: in the order the report lists them.
std::vector<Workload> MakeWorkloads();

// "1 0.5 * 1.5 + 0.5 * 1.5 + ...", whole rounds only, at most `length`
// bytes. Two values on the stack at any time and a result near 3, so every
// length costs the same per byte and formats the same result.
std::wstring HalvingText(std::size_t length);

// Wide text of code points below 256 as bytes.
std::string Narrow(const std::wstring &text);
std::wstring Widen(const std::string &text);

}  // namespace kelvaro_bench

#endif
