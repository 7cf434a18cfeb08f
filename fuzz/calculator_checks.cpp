#include "calculator_checks.h"

#include "api_text.h"
#include "calculator.h"
#include "prefill.h"
#include "require.h"

#include <cmath>
#include <string>

namespace kelvaro_fuzz {
namespace {

// Runs `text` on `calculator` and compares with `reference`, the one-shot
// evaluation of what the calculator held as text, a space, then `text`;
// `shift` is where `text` starts in it (0 for an empty calculator).
void CheckRun(Calculator &calculator, std::string_view text, const ApiEvaluation &reference,
              std::size_t shift)
{
    const std::vector<std::uint64_t> before = calculator.Snapshot(text);
    const ApiEvaluation run = EvaluateOnCalculator(calculator.Get(), text);
    const std::vector<std::uint64_t> after = calculator.Snapshot(text);
    const kelvaro_rpn_outcome &outcome = run.outcome;
    const kelvaro_rpn_outcome &expected = reference.outcome;

    Require(run.listing.events == reference.listing.events,
            "the calculator lists differently from one-shot evaluation", text,
            run.listing.Lines());
    if (outcome.status != KELVARO_RPN_OK) {
        Require(after == before, "a failure changed the calculator's stack", text);
        Require(outcome.status == expected.status && outcome.offset + shift == expected.offset,
                "the calculator fails differently from one-shot evaluation", text);
    } else if (after.empty()) {
        Require(std::isnan(outcome.value), "an empty calculator's value is not NaN", text);
        Require(expected.status == KELVARO_RPN_STACK_UNDERFLOW &&
                    expected.offset == shift + text.size(),
                "an empty calculator where one-shot evaluation has no underflow at the end",
                text);
    } else {
        Require(BitsOf(outcome.value) == after.back(), "the value is not the calculator's top",
                text);
        Require(expected.status == KELVARO_RPN_OK &&
                    SameValue(expected.value, outcome.value),
                "the calculator's value differs from one-shot evaluation", text);
    }
}

}  // namespace

void CheckCalculator(std::string_view text, const ApiEvaluation &oneShot)
{
    Calculator calculator;
    CheckRun(calculator, text, oneShot, 0);

    const std::string prefill = PrefillText(text);
    kelvaro_rpn_calculator_clear(&calculator.Get());
    const ApiEvaluation fill = EvaluateOnCalculator(calculator.Get(), prefill);
    Require(fill.outcome.status == KELVARO_RPN_OK && fill.listing.events.empty() &&
                calculator.Snapshot(prefill).size() == PrefillDepth(text),
            "the pre-fill does not leave its values", prefill);
    const std::string combined = prefill + ' ' + std::string(text);
    CheckRun(calculator, text, EvaluateOneShot(combined), prefill.size() + 1);
}

}  // namespace kelvaro_fuzz
