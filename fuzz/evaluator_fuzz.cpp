// Feeds arbitrary bytes, cut at the first NUL, to EvaluateExpression.
#include "fatal_stop_seam.h"
#include "outcome_checks.h"
#include "output_capture.h"

#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "engine/value_stack.h"

#include <cstdint>
#include <cstring>
#include <memory>

using namespace kelvaro_fuzz;

namespace {

// NaN results must repeat too, so results are compared bit for bit.
std::uint64_t BitsOf(kelvaro::Value value)
{
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value, "Value is a binary64");
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct Evaluation {
    Outcome outcome;
    kelvaro::Value result = 0;
};

Evaluation Evaluate(const char *expression)
{
    Evaluation evaluation;
    ClearCapture();
    try {
        kelvaro::EvaluateExpression(evaluation.result, expression);
    } catch (const FatalStopped &stop) {
        evaluation.outcome.stopped = true;
        evaluation.outcome.stop = stop;
    }
    evaluation.outcome.output = CapturedOutput();
    return evaluation;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    StartCapture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // An exact-size copy, so that a read past the terminator is caught.
    const std::unique_ptr<char[]> copy(new char[size + 1]);
    std::memcpy(copy.get(), data, size);
    copy[size] = '\0';
    const std::string_view expression(copy.get());

    const Evaluation first = Evaluate(copy.get());
    Require(kelvaro::StackCount() == 0, "values left on the stack", expression, first.outcome);
    CheckOutput(expression, first.outcome, nullptr);
    if (!first.outcome.stopped) {
        char text[kelvaro::kMaxFixedText];
        const std::size_t length = kelvaro::FormatFixed(text, first.result);
        Require(IsValueText(std::string_view(text, length)), "malformed result text",
                expression, first.outcome);
    }

    // Nothing may carry over from one evaluation to the next.
    const Evaluation second = Evaluate(copy.get());
    const bool sameEnd =
        second.outcome.stopped == first.outcome.stopped &&
        (first.outcome.stopped
             ? second.outcome.stop.status == first.outcome.stop.status
             : BitsOf(second.result) == BitsOf(first.result));
    Require(sameEnd && second.outcome.output == first.outcome.output,
            "a second evaluation of the same text ends differently", expression,
            second.outcome);
    return 0;
}
