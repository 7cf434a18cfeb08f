// kelvaro_rpn_program_run_many and _fast as a host sees them over buffers:
// the same values as a loop of libm calls, whatever the buffers' overlap, and
// the fast mode within its stated bound of the exact run per command.
#include <kelvaro/rpn.h>

#include "api/program_handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using kelvaro_test::Bits;
using kelvaro_test::Compile;
using kelvaro_test::Program;

using RunMany = std::size_t (*)(const kelvaro_rpn_program *, const double *, size_t, size_t,
                                double *, kelvaro_rpn_status *);

const struct {
    const char *name;
    RunMany run;
} kModes[] = {{"exact", kelvaro_rpn_program_run_many}, {"fast", kelvaro_rpn_program_run_many_fast}};

TEST(RunManyTest, BitForBitTheLibmCallsInTheProgramsOrder)
{
    const Program f1 = Compile("2 ^ 3 * 1 +");
    const Program f2 = Compile("0.5 * s 2 ^ 1 ] - l");
    std::mt19937_64 random(21);
    std::uniform_real_distribution<double> value(-50, 50);
    const std::size_t runs = 1000000;
    std::vector<double> inputs(runs);
    std::generate(inputs.begin(), inputs.end(), [&] { return value(random); });
    volatile double two = 2;  // pow, not a product, as the program calls it
    std::vector<double> results(runs);
    ASSERT_EQ(kelvaro_rpn_program_run_many(f1.get(), inputs.data(), 1, runs, results.data(),
                                           nullptr),
              0u);
    for (std::size_t i = 0; i < runs; ++i) {
        ASSERT_EQ(Bits(results[i]), Bits(std::pow(inputs[i], two) * 3 + 1)) << inputs[i];
    }
    ASSERT_EQ(kelvaro_rpn_program_run_many(f2.get(), inputs.data(), 1, runs, results.data(),
                                           nullptr),
              0u);
    for (std::size_t i = 0; i < runs; ++i) {
        ASSERT_EQ(Bits(results[i]), Bits(std::log(1 - std::pow(std::sin(inputs[i] * 0.5), two))))
            << inputs[i];
    }
}

// Results written over the inputs, at every offset around them: as if every
// input had been read before the first result was written.
TEST(RunManyTest, OverlappingBuffersGiveWhatSeparateOnesGive)
{
    const struct {
        const char *text;
        std::size_t count;
    } programs[] = {
        {"2 ^ 3 * 1 +", 1}, {"s ] c * +", 2}, {"* + l", 3}, {"+ + + + + ] - L", 7},
        {"+ + +", 1},  // fails every run: NaN and an underflow
    };
    const std::size_t runCounts[] = {1, 5, 300, 701};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> value(0.5, 2);
    for (const auto &p : programs) {
        const Program program = Compile(p.text);
        ASSERT_NE(program, nullptr) << p.text;
        for (const std::size_t runs : runCounts) {
            const std::size_t span = runs * p.count;
            std::vector<double> inputs(span);
            std::generate(inputs.begin(), inputs.end(), [&] { return value(random); });
            // Every offset near the ends of the inputs and some in between.
            std::vector<std::ptrdiff_t> offsets;
            const auto last = static_cast<std::ptrdiff_t>(span);
            for (std::ptrdiff_t d = -static_cast<std::ptrdiff_t>(runs) - 2; d <= last + 2; ++d) {
                if (std::abs(d) < 40 || std::abs(d - last) < 40 || d % 97 == 0) {
                    offsets.push_back(d);
                }
            }
            for (const auto &mode : kModes) {
                std::vector<double> expected(runs);
                std::vector<kelvaro_rpn_status> statuses(runs);
                const std::size_t failed =
                    mode.run(program.get(), inputs.data(), p.count, runs, expected.data(),
                             statuses.data());
                for (const std::ptrdiff_t d : offsets) {
                    // The inputs at `start`, the results at start + d.
                    const std::size_t start = runs + 2;
                    std::vector<double> buffer(start + span + runs + 4, -1);
                    std::memcpy(buffer.data() + start, inputs.data(), span * sizeof(double));
                    double *const results = buffer.data() + start + d;
                    std::vector<kelvaro_rpn_status> overlapped(runs);
                    ASSERT_EQ(mode.run(program.get(), buffer.data() + start, p.count, runs,
                                       results, overlapped.data()),
                              failed);
                    for (std::size_t i = 0; i < runs; ++i) {
                        ASSERT_EQ(Bits(results[i]), Bits(expected[i]))
                            << mode.name << " " << p.text << ", " << runs << " runs, offset "
                            << d << ", run " << i;
                        ASSERT_EQ(overlapped[i], statuses[i]);
                    }
                }
            }
        }
    }
}

// Where on the number line a value falls: neighbouring doubles differ by 1,
// -0 and +0 are one apart, the largest finite double and infinity too.
std::int64_t Ordinal(double value)
{
    const auto bits = static_cast<std::int64_t>(Bits(value));
    return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
}

// The distance in units in the last place; NaN against a number is a miss.
double UlpDistance(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b) ? 0 : std::numeric_limits<double>::infinity();
    }
    const std::int64_t x = Ordinal(a);
    const std::int64_t y = Ordinal(b);
    return static_cast<double>(x > y ? static_cast<std::uint64_t>(x) - static_cast<std::uint64_t>(y)
                                     : static_cast<std::uint64_t>(y) - static_cast<std::uint64_t>(x));
}

// Values from `low` to `high` (uniform), from every binade of both signs
// (subnormals included), and the special ones.
std::vector<double> Spanning(double low, double high, std::size_t count, std::mt19937_64 &random)
{
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> values = {0.0,     -0.0,     inf,     -inf,    std::nan(""), DBL_MAX,
                                  -DBL_MAX, DBL_MIN,  -DBL_MIN, 5e-324, -5e-324,     1,
                                  -1,      0.5,      2,       1e-310,  -1e-310,      low,
                                  high};
    std::uniform_real_distribution<double> uniform(low, high);
    std::uniform_int_distribution<int> binade(-1074, 1023);
    std::uniform_real_distribution<double> mantissa(1, 2);
    while (values.size() < count) {
        if (values.size() % 4 == 0) {
            const double magnitude = std::ldexp(mantissa(random), binade(random));
            values.push_back(values.size() % 8 == 0 ? -magnitude : magnitude);
        } else {
            values.push_back(uniform(random));
        }
    }
    return values;
}

// Each command the fast mode computes its own way, with the bound that
// kelvaro_rpn_program_run_many_fast's comment states for it.
TEST(RunManyFastTest, EachCommandWithinItsBoundOfTheExactRun)
{
    const struct {
        const char *text;  // run on one input x, or two (b, a) for "^"
        double low;        // where most of the values come from
        double high;
        double bound;      // ulp
    } commands[] = {
        {"s", -10, 10, 4},  {"c", -10, 10, 4},   {"t", -10, 10, 4},  {"S", -1, 1, 4},
        {"C", -1, 1, 4},    {"T", -100, 100, 4}, {"l", 0, 100, 4},   {"L", -745, 710, 4},
        {"2 ^", -1e3, 1e3, 1}, {"3 ^", -1e3, 1e3, 2}, {"4 ^", -1e3, 1e3, 2},
        {"-1 ^", -1e3, 1e3, 1}, {"0 ^", -1e3, 1e3, 0}, {"1 ^", -1e3, 1e3, 0},
        {"0.5 ^", 0, 1e3, 4},  {"^", -20, 20, 4},
    };
    std::mt19937_64 random(1);
    constexpr std::size_t kValues = 1000000;
    for (const auto &c : commands) {
        const Program program = Compile(c.text);
        ASSERT_NE(program, nullptr) << c.text;
        const std::size_t count = kelvaro_rpn_program_inputs(program.get());
        std::vector<double> inputs = Spanning(c.low, c.high, kValues * count, random);
        const std::size_t runs = inputs.size() / count;
        std::vector<double> exact(runs);
        std::vector<double> fast(runs);
        ASSERT_EQ(kelvaro_rpn_program_run_many(program.get(), inputs.data(), count, runs,
                                               exact.data(), nullptr),
                  0u);
        ASSERT_EQ(kelvaro_rpn_program_run_many_fast(program.get(), inputs.data(), count, runs,
                                                    fast.data(), nullptr),
                  0u);
        double worst = 0;
        std::size_t worstRun = 0;
        for (std::size_t i = 0; i < runs; ++i) {
            const double distance = UlpDistance(fast[i], exact[i]);
            if (distance > worst) {
                worst = distance;
                worstRun = i;
            }
        }
        EXPECT_LE(worst, c.bound) << c.text << " at input " << inputs[worstRun * count]
                                  << ": fast " << fast[worstRun] << ", exact "
                                  << exact[worstRun];
        // A value's result does not depend on where it falls in a block.
        std::vector<double> shifted(runs - 1);
        kelvaro_rpn_program_run_many_fast(program.get(), inputs.data() + count, count, runs - 1,
                                          shifted.data(), nullptr);
        EXPECT_EQ(std::memcmp(shifted.data(), fast.data() + 1, shifted.size() * sizeof(double)),
                  0)
            << c.text;
        std::printf("fast %-6s %zu values: at most %g ulp from the exact run\n", c.text, runs,
                    worst);
    }
}

// The formulas bulk users compare with the array libraries: the fast mode
// stays within 1e-12 relative of the exact run on each.
TEST(RunManyFastTest, FormulasWithinOneInATrillionOfTheExactRun)
{
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> value(-10, 10);
    std::vector<double> inputs(200000);
    std::generate(inputs.begin(), inputs.end(), [&] { return value(random); });
    for (const char *text : {"2 ^ 3 * 1 +", "0.5 * s 2 ^ 1 + l", "L 1 + l", "c 3 ^ t"}) {
        const Program program = Compile(text);
        std::vector<double> exact(inputs.size());
        std::vector<double> fast(inputs.size());
        kelvaro_rpn_program_run_many(program.get(), inputs.data(), 1, inputs.size(), exact.data(),
                                     nullptr);
        kelvaro_rpn_program_run_many_fast(program.get(), inputs.data(), 1, inputs.size(),
                                          fast.data(), nullptr);
        double worst = 0;
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const double relative = exact[i] == fast[i]
                                        ? 0
                                        : std::fabs(fast[i] - exact[i]) / std::fabs(exact[i]);
            worst = relative > worst ? relative : worst;
        }
        EXPECT_LE(worst, 1e-12) << text;
    }
}

}  // namespace
