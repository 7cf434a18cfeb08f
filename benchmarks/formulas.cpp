#include "formulas.h"

#include <cmath>
#include <random>

namespace kelvaro_bench {
namespace {

// The exponent of both formulas, read where the compiler cannot see its value.
volatile double runTimeTwo = 2.0;

// x 2 ^ 3 * 1 +
void BareF1(const double *inputs, std::size_t count, double two, double *results)
{
    for (std::size_t i = 0; i < count; ++i) {
        results[i] = std::pow(inputs[i], two) * 3.0 + 1.0;
    }
}

// x 0.5 * s 2 ^ 1 ] - l: the 1 goes under the square by the exchange, so the
// subtraction is 1 - sin(x * 0.5)^2.
void BareF2(const double *inputs, std::size_t count, double two, double *results)
{
    for (std::size_t i = 0; i < count; ++i) {
        results[i] = std::log(1.0 - std::pow(std::sin(inputs[i] * 0.5), two));
    }
}

}  // namespace

std::vector<Formula> MakeFormulas()
{
    return {{"f1", "2 ^ 3 * 1 +", "x^2*3+1", BareF1},
            {"f2", "0.5 * s 2 ^ 1 ] - l", "ln(1-sin(x*0.5)^2)", BareF2}};
}

std::vector<double> MakeInputs(std::size_t count)
{
    std::mt19937_64 generator(20240601);
    std::uniform_real_distribution<double> uniform(0.5, 10.0);
    std::vector<double> inputs(count);
    for (double &x : inputs) {
        do {
            x = uniform(generator);
        } while (x == 0.5);  // the open interval
    }
    return inputs;
}

double RunTimeTwo()
{
    return runTimeTwo;
}

}  // namespace kelvaro_bench
