// The formulas of x that compiled programs are timed on, each as a program
// text, as muparser's infix and as a bare C++ loop, and the values of x they
// run on.
#ifndef KELVARO_BENCHMARKS_FORMULAS_H
#define KELVARO_BENCHMARKS_FORMULAS_H

#include <cstddef>
#include <string>
#include <vector>

namespace kelvaro_bench {

// The formula as a program of one input x (the text leaves x out: it is on
// the stack before the first byte runs), the same in muparser's infix with
// the variable x, and the bare C++ of it.
struct Formula {
    std::string name;
    std::string program;  // "2 ^ 3 * 1 +"
    std::string infix;    // "x^2*3+1"
    // The formula on inputs[0 .. count) into results, in plain C++: the same
    // operations in the same order as the program. `two` is the exponent 2,
    // given at run time so that the compiler cannot turn pow into x * x.
    void (*bare)(const double *inputs, std::size_t count, double two, double *results);
};

// f1 and f2, in the order the report lists them.
std::vector<Formula> MakeFormulas();

// The default number of values x: one million.
inline constexpr std::size_t kDefaultValueCount = 1000000;

// `count` values uniform in (0.5, 10), always the same ones (a fixed seed).
std::vector<double> MakeInputs(std::size_t count);

// 2.0, read from a volatile: the exponent to hand to Formula::bare.
double RunTimeTwo();

}  // namespace kelvaro_bench

#endif
