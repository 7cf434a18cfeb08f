// Compiled programs against evaluation: a program run on inputs must end
// exactly as its text evaluated on a stack holding those inputs, bit for bit,
// offsets and listings included; and run_many must agree with run.
#include "api/api_run.h"
#include "support/expression_tables.h"

#include "api/program_handle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using kelvaro_test::ApiRun;
using kelvaro_test::RecordInto;
using kelvaro_test::Bits;
using kelvaro_test::Compile;
using kelvaro_test::Program;

struct CalculatorDeleter {
    void operator()(kelvaro_rpn_calculator *calculator) const
    {
        kelvaro_rpn_calculator_destroy(calculator);
    }
};

// The text evaluated on a stack that holds `inputs` first: a calculator with
// the inputs pushed, where an empty stack at the end is an underflow at the
// text's end, as in a one-shot evaluation.
ApiRun EvaluateAfter(const std::string &text, const std::vector<double> &inputs)
{
    std::unique_ptr<kelvaro_rpn_calculator, CalculatorDeleter> calculator(
        kelvaro_rpn_calculator_create());
    ApiRun run{};
    const auto push = [&calculator](double input) {
        return kelvaro_rpn_calculator_push(calculator.get(), input) == KELVARO_RPN_OK;
    };
    if (!std::all_of(inputs.begin(), inputs.end(), push)) {
        run.outcome = kelvaro_rpn_outcome{KELVARO_RPN_STACK_OVERFLOW, 0, 0};
        return run;
    }
    const kelvaro_rpn_listing listing = RecordInto(run);
    kelvaro_rpn_calculator_evaluate(calculator.get(), text.data(), text.size(), &listing,
                                    &run.outcome);
    if (run.outcome.status == KELVARO_RPN_OK && kelvaro_rpn_calculator_depth(calculator.get()) == 0) {
        run.outcome = kelvaro_rpn_outcome{KELVARO_RPN_STACK_UNDERFLOW, 0, text.size()};
    }
    return run;
}

ApiRun RunProgram(const kelvaro_rpn_program *program, const std::vector<double> &inputs)
{
    ApiRun run{};
    const kelvaro_rpn_listing listing = RecordInto(run);
    const kelvaro_rpn_status status =
        kelvaro_rpn_program_run(program, inputs.data(), inputs.size(), &listing, &run.outcome);
    EXPECT_EQ(status, run.outcome.status);
    return run;
}

void ExpectSameEnd(const ApiRun &actual, const ApiRun &expected, const std::string &text)
{
    ASSERT_EQ(actual.outcome.status, expected.outcome.status) << text;
    if (expected.outcome.status == KELVARO_RPN_OK) {
        EXPECT_TRUE(kelvaro_test::SameValue(actual.outcome.value, expected.outcome.value))
            << text << ": " << Bits(actual.outcome.value) << " against "
            << Bits(expected.outcome.value);
    }
    // A success reports the text's length, as evaluation does.
    EXPECT_EQ(actual.outcome.offset, expected.outcome.offset) << text;
    EXPECT_EQ(actual.lines, expected.lines) << text;
    EXPECT_EQ(actual.values, expected.values) << text;
}

// A text with no invalid byte compiles; one with any does not, and says where
// the first one is.
void CheckText(const std::string &text, const std::vector<std::vector<double>> &inputSets)
{
    kelvaro_rpn_outcome compiled{};
    const Program program = Compile(text, &compiled);
    const std::size_t invalid = [&] {
        kelvaro_rpn_outcome outcome{};
        kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
        // With a full supply of values nothing but an invalid byte fails.
        for (int i = 0; i < 200; ++i) {
            kelvaro_rpn_calculator_push(calculator, 1);
        }
        kelvaro_rpn_calculator_evaluate(calculator, text.data(), text.size(), nullptr, &outcome);
        kelvaro_rpn_calculator_destroy(calculator);
        return outcome.status == KELVARO_RPN_INVALID_CHARACTER ? outcome.offset : text.size() + 1;
    }();
    if (invalid <= text.size()) {
        EXPECT_EQ(program, nullptr) << text;
        EXPECT_EQ(compiled.status, KELVARO_RPN_INVALID_CHARACTER) << text;
        EXPECT_EQ(compiled.offset, invalid) << text;
        return;
    }
    ASSERT_NE(program, nullptr) << text;
    EXPECT_EQ(compiled.status, KELVARO_RPN_OK) << text;
    for (const auto &inputs : inputSets) {
        const ApiRun expected = EvaluateAfter(text, inputs);
        ExpectSameEnd(RunProgram(program.get(), inputs), expected, text);
        // Without a listing, where a run that cannot fail takes no checks.
        kelvaro_rpn_outcome quiet{};
        kelvaro_rpn_program_run(program.get(), inputs.data(), inputs.size(), nullptr, &quiet);
        EXPECT_EQ(quiet.status, expected.outcome.status) << text;
        EXPECT_EQ(quiet.offset, expected.outcome.offset) << text;
        if (quiet.status == KELVARO_RPN_OK) {
            EXPECT_TRUE(kelvaro_test::SameValue(quiet.value, expected.outcome.value))
                << text << ": " << Bits(quiet.value) << " against " << Bits(expected.outcome.value);
        }
    }
}

TEST(ProgramTest, TablesEndAsEvaluationWithTheSameInputs)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::vector<double>> inputSets = {
        {}, {2.5}, {-3, 7}, {inf, -0.0, std::nan("")}, std::vector<double>(264, 1.5),
        std::vector<double>(265, 2)};
    for (const std::string &text : kelvaro_test::AllTableTexts()) {
        CheckText(text, inputSets);
    }
}

TEST(ProgramTest, RandomTextsAndInputsEndAsEvaluation)
{
    std::mt19937 random(15);
    const std::string pieces[] = {"1", "2.5", "-3", "1e3", "0", "+", "-", "*", "/", "%", "^",
                                  "s", "c", "t", "S", "C", "T", "l", "L", "!", "p", "]",
                                  "x", "#", "@", " ", "\n", "7.", "?", "4+", "\t"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_real_distribution<double> value(-10, 10);
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        for (int n = static_cast<int>(random() % 30); n > 0; --n) {
            text += pieces[piece(random)];
            text += random() % 4 != 0 ? " " : "";
        }
        std::vector<double> inputs(random() % 5);
        std::generate(inputs.begin(), inputs.end(), [&] { return value(random); });
        CheckText(text, {inputs});
    }
}

TEST(ProgramTest, MoreInputsThanTheStackHoldsOverflow)
{
    const Program program = Compile("1 +");
    const std::vector<double> inputs(266, 1);
    const ApiRun run = RunProgram(program.get(), inputs);
    EXPECT_EQ(run.outcome.status, KELVARO_RPN_STACK_OVERFLOW);
    EXPECT_EQ(run.outcome.offset, 0u);
}

TEST(ProgramTest, InvalidTextsDoNotCompile)
{
    const struct {
        const char *text;
        std::size_t offset;
    } cases[] = {{"?", 0}, {"1 2 + ?", 6}, {"+ ?", 2}, {"1\t\t2", 2}, {"3 .5", 2}, {"x \xff", 2},
                 {"1 + ?", 4}};
    for (const auto &c : cases) {
        kelvaro_rpn_outcome outcome{};
        kelvaro_rpn_program *program = reinterpret_cast<kelvaro_rpn_program *>(&outcome);
        EXPECT_EQ(kelvaro_rpn_compile(c.text, std::strlen(c.text), &program, &outcome),
                  KELVARO_RPN_INVALID_CHARACTER)
            << c.text;
        EXPECT_EQ(program, nullptr) << c.text;
        EXPECT_EQ(outcome.offset, c.offset) << c.text;
    }
    // Outcome may be omitted, and the empty text compiles.
    kelvaro_rpn_program *program = nullptr;
    EXPECT_EQ(kelvaro_rpn_compile("?", 1, &program, nullptr), KELVARO_RPN_INVALID_CHARACTER);
    EXPECT_EQ(kelvaro_rpn_compile(nullptr, 5, &program, nullptr), KELVARO_RPN_OK);
    ASSERT_NE(program, nullptr);
    kelvaro_rpn_program_destroy(program);
    kelvaro_rpn_program_destroy(nullptr);
}

struct ShapeCase {
    const char *text;
    std::size_t inputs;
    std::size_t count;    // run on this many
    std::size_t outputs;  // they leave this many
};

TEST(ProgramTest, KnowsItsInputsAndOutputs)
{
    const ShapeCase cases[] = {
        {"2 ^ 3 * 1 +", 1, 1, 1}, {"+", 2, 2, 1}, {"+", 2, 5, 4}, {"+", 2, 1, 0},
        {"1 2", 0, 0, 2},         {"x", 2, 3, 2}, {"]", 2, 2, 2}, {"@ #", 1, 1, 1},
        {"", 1, 4, 4},            {"x x 1 2 3", 2, 2, 3}, {"p p + + +", 2, 2, 1},
        // The end of the text needs a value too.
        {"", 1, 0, 0},            {"x", 2, 1, 0}, {"1 x x", 2, 1, 0}, {"1 x x", 2, 2, 1},
        {"+ x", 3, 2, 0},         {"+ x", 3, 3, 1}, {"x x", 3, 3, 1}, {"1 2 + + x", 2, 2, 1},
        // Past the stack's capacity the run overflows and leaves nothing.
        {"1", 0, 264, 265},       {"1", 0, 265, 0}, {"1 2 + +", 1, 263, 263},
        {"1 2 + +", 1, 264, 0},   {"+", 2, 265, 264}, {"+", 2, 266, 0},
    };
    for (const ShapeCase &c : cases) {
        const Program program = Compile(c.text);
        ASSERT_NE(program, nullptr) << c.text;
        EXPECT_EQ(kelvaro_rpn_program_inputs(program.get()), c.inputs) << c.text;
        EXPECT_EQ(kelvaro_rpn_program_outputs(program.get(), c.count), c.outputs) << c.text;
    }
}

TEST(ProgramTest, OutputsAreDefinedForEveryCount)
{
    const std::size_t counts[] = {std::numeric_limits<std::size_t>::max(),
                                  std::numeric_limits<std::size_t>::max() - 1,
                                  static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()),
                                  static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()) + 1,
                                  KELVARO_RPN_STACK_CAPACITY + 1};
    for (const char *text : {"1", "+", "x x x", "", "p", "1 2 3 + +"}) {
        const Program program = Compile(text);
        ASSERT_NE(program, nullptr) << text;
        for (const std::size_t count : counts) {
            EXPECT_EQ(kelvaro_rpn_program_outputs(program.get(), count), 0u) << text << count;
        }
    }
}

// Random texts on random input counts: inputs' count never underflows, one
// fewer always does (unless it overflows first), and outputs says what the
// run leaves.
TEST(ProgramTest, InputsAndOutputsHoldOnRandomRuns)
{
    std::mt19937 random(22);
    const char *const pieces[] = {"1", "+", "-", "*", "x", "]", "p", "s", "#", "@", "2", "7 *"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::vector<double> inputs(KELVARO_RPN_STACK_CAPACITY + 1, 1.5);
    for (int i = 0; i < 150000; ++i) {
        std::string text;
        for (int n = static_cast<int>(random() % 12); n > 0; --n) {
            text += pieces[piece(random)];
            text += ' ';
        }
        const Program program = Compile(text);
        ASSERT_NE(program, nullptr) << text;
        const std::size_t needed = kelvaro_rpn_program_inputs(program.get());
        kelvaro_rpn_outcome outcome{};
        kelvaro_rpn_program_run(program.get(), inputs.data(), needed, nullptr, &outcome);
        ASSERT_NE(outcome.status, KELVARO_RPN_STACK_UNDERFLOW) << text;
        if (needed > 0) {
            kelvaro_rpn_program_run(program.get(), inputs.data(), needed - 1, nullptr, &outcome);
            ASSERT_EQ(outcome.status, KELVARO_RPN_STACK_UNDERFLOW) << text;
        }
        const std::size_t count = random() % (KELVARO_RPN_STACK_CAPACITY + 2);
        std::unique_ptr<kelvaro_rpn_calculator, CalculatorDeleter> calculator(
            kelvaro_rpn_calculator_create());
        for (std::size_t n = 0; n < count && n < KELVARO_RPN_STACK_CAPACITY; ++n) {
            kelvaro_rpn_calculator_push(calculator.get(), 1.5);
        }
        const bool pushedAll = count <= KELVARO_RPN_STACK_CAPACITY;
        const bool ran = pushedAll && kelvaro_rpn_calculator_evaluate(calculator.get(), text.data(),
                                                                      text.size(), nullptr,
                                                                      nullptr) == KELVARO_RPN_OK;
        const std::size_t left = ran ? kelvaro_rpn_calculator_depth(calculator.get()) : 0;
        ASSERT_EQ(kelvaro_rpn_program_outputs(program.get(), count), left) << text << count;
    }
}

// A text that does not compile reports what evaluating it reports, unless
// evaluation fails before that byte on its empty stack.
TEST(ProgramTest, CompileFailsAsEvaluateDoes)
{
    std::mt19937 random(7);
    const char *const pieces[] = {"1", "+", "x", "]", "p", "?", "\xff", ".5", "@", "1e400", "2 3"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    int invalid = 0;
    for (int i = 0; i < 150000; ++i) {
        std::string text;
        for (int n = static_cast<int>(random() % 40); n > 0; --n) {
            text += pieces[piece(random)];
            text += random() % 8 != 0 ? " " : "\t";
        }
        kelvaro_rpn_outcome compiled{};
        kelvaro_rpn_program *program = nullptr;
        kelvaro_rpn_compile(text.data(), text.size(), &program, &compiled);
        if (program != nullptr) {
            kelvaro_rpn_program_destroy(program);
            continue;
        }
        ++invalid;
        kelvaro_rpn_outcome evaluated{};
        kelvaro_rpn_evaluate(text.data(), text.size(), &evaluated);
        ASSERT_EQ(compiled.status, KELVARO_RPN_INVALID_CHARACTER) << text;
        if (evaluated.status == KELVARO_RPN_INVALID_CHARACTER) {
            ASSERT_EQ(compiled.offset, evaluated.offset) << text;
        } else {
            ASSERT_LT(evaluated.offset, compiled.offset) << text;
            // The same text after enough values fails only at that byte.
            std::string fed;
            for (int n = 0; n < 130; ++n) {
                fed += "1 ";
            }
            kelvaro_rpn_evaluate((fed + text).data(), fed.size() + text.size(), &evaluated);
            ASSERT_EQ(evaluated.status, KELVARO_RPN_INVALID_CHARACTER) << text;
            ASSERT_EQ(compiled.offset + fed.size(), evaluated.offset) << text;
        }
    }
    EXPECT_GT(invalid, 100000);
}

// run_many against run, on both of its paths: inputs enough for every pop
// (no checks), and too few (every run checked, failures NaN).
TEST(ProgramTest, RunManyAgreesWithRun)
{
    const struct {
        const char *text;
        std::size_t count;
    } cases[] = {
        {"2 ^ 3 * 1 +", 1}, {"0.5 * s 2 ^ 1 ] - l", 1}, {"+", 2}, {"+", 1}, {"x", 1},
        {"1 2 3 x x x", 0}, {"]", 3},                    {"/ !", 2}, {"", 1}, {"x 5", 1},
    };
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-100, 100);
    for (const auto &c : cases) {
        const Program program = Compile(c.text);
        ASSERT_NE(program, nullptr) << c.text;
        constexpr std::size_t kRuns = 500;
        std::vector<double> inputs(kRuns * c.count);
        std::generate(inputs.begin(), inputs.end(), [&] { return value(random); });
        std::vector<double> results(kRuns);
        std::vector<kelvaro_rpn_status> statuses(kRuns);
        const std::size_t failed = kelvaro_rpn_program_run_many(
            program.get(), inputs.data(), c.count, kRuns, results.data(), statuses.data());
        std::size_t expectedFailures = 0;
        for (std::size_t i = 0; i < kRuns; ++i) {
            kelvaro_rpn_outcome outcome{};
            kelvaro_rpn_program_run(program.get(), inputs.data() + i * c.count, c.count, nullptr,
                                    &outcome);
            ASSERT_EQ(statuses[i], outcome.status) << c.text << " run " << i;
            if (outcome.status == KELVARO_RPN_OK) {
                ASSERT_EQ(Bits(results[i]), Bits(outcome.value)) << c.text << " run " << i;
            } else {
                ASSERT_TRUE(std::isnan(results[i])) << c.text << " run " << i;
                ++expectedFailures;
            }
        }
        EXPECT_EQ(failed, expectedFailures) << c.text;
        // Statuses may be left out.
        std::vector<double> again(kRuns);
        EXPECT_EQ(kelvaro_rpn_program_run_many(program.get(), inputs.data(), c.count, kRuns,
                                               again.data(), nullptr),
                  failed);
        EXPECT_EQ(std::memcmp(again.data(), results.data(), kRuns * sizeof(double)), 0) << c.text;
    }
}

TEST(CalculatorPushTest, TakesAnyDoubleUntilTheStackIsFull)
{
    std::unique_ptr<kelvaro_rpn_calculator, CalculatorDeleter> calculator(
        kelvaro_rpn_calculator_create());
    const double inf = std::numeric_limits<double>::infinity();
    for (const double value : {inf, -inf, std::nan(""), -0.0, 5e-324}) {
        EXPECT_EQ(kelvaro_rpn_calculator_push(calculator.get(), value), KELVARO_RPN_OK);
    }
    EXPECT_EQ(kelvaro_test::StackOf(calculator.get()), "inf,-inf,nan,-0.000000,0.000000");
    // A stack restored from values that text could not spell goes on working.
    ApiRun run = kelvaro_test::EvaluateOn(calculator.get(), "x x x +");
    EXPECT_EQ(run.outcome.status, KELVARO_RPN_OK);
    EXPECT_TRUE(std::isnan(run.outcome.value));  // inf + -inf
    while (kelvaro_rpn_calculator_depth(calculator.get()) < KELVARO_RPN_STACK_CAPACITY) {
        ASSERT_EQ(kelvaro_rpn_calculator_push(calculator.get(), 1), KELVARO_RPN_OK);
    }
    EXPECT_EQ(kelvaro_rpn_calculator_push(calculator.get(), 2), KELVARO_RPN_STACK_OVERFLOW);
    EXPECT_EQ(kelvaro_rpn_calculator_depth(calculator.get()),
              static_cast<std::size_t>(KELVARO_RPN_STACK_CAPACITY));
    run = kelvaro_test::EvaluateOn(calculator.get(), "#");
    EXPECT_EQ(run.outcome.value, 1) << "the refused value was not stored";
}

}  // namespace

namespace {

// A NULL outcome is allowed wherever one is taken: the status still comes back.
TEST(ProgramTest, EveryFunctionTakesANullOutcome)
{
    EXPECT_EQ(kelvaro_rpn_evaluate("1 +", 3, nullptr), KELVARO_RPN_STACK_UNDERFLOW);
    EXPECT_EQ(kelvaro_rpn_evaluate_listing("1 ?", 3, nullptr, nullptr),
              KELVARO_RPN_INVALID_CHARACTER);
    std::unique_ptr<kelvaro_rpn_calculator, CalculatorDeleter> calculator(
        kelvaro_rpn_calculator_create());
    ASSERT_NE(calculator, nullptr);
    EXPECT_EQ(kelvaro_rpn_calculator_evaluate(calculator.get(), "x", 1, nullptr, nullptr),
              KELVARO_RPN_STACK_UNDERFLOW);
    kelvaro_rpn_program *program = nullptr;
    ASSERT_EQ(kelvaro_rpn_compile("+", 1, &program, nullptr), KELVARO_RPN_OK);
    const Program owned(program);
    const double inputs[] = {1, 2};
    EXPECT_EQ(kelvaro_rpn_program_run(program, inputs, 1, nullptr, nullptr),
              KELVARO_RPN_STACK_UNDERFLOW);
    EXPECT_EQ(kelvaro_rpn_program_run(program, inputs, 2, nullptr, nullptr), KELVARO_RPN_OK);
}

}  // namespace
