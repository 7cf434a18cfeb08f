#include "api_evaluation.h"

#include "api_text.h"
#include "require.h"

namespace kelvaro_fuzz {

ApiEvaluation EvaluateOneShot(std::string_view text)
{
    ApiEvaluation evaluation;
    const kelvaro_rpn_listing callbacks = evaluation.listing.Callbacks();
    const kelvaro_rpn_status status = kelvaro_rpn_evaluate_listing(
        text.data(), text.size(), &callbacks, &evaluation.outcome);
    const kelvaro_rpn_outcome &outcome = evaluation.outcome;
    Require(status == outcome.status, "kelvaro_rpn_evaluate_listing: returned status differs",
            text);

    kelvaro_rpn_outcome quiet{};
    const kelvaro_rpn_status quietStatus = kelvaro_rpn_evaluate(text.data(), text.size(), &quiet);
    Require(quietStatus == status && quiet.status == status &&
                (status == KELVARO_RPN_OK ? BitsOf(quiet.value) == BitsOf(outcome.value)
                                          : quiet.offset == outcome.offset),
            "kelvaro_rpn_evaluate and kelvaro_rpn_evaluate_listing disagree", text);
    return evaluation;
}

ApiEvaluation EvaluateOnCalculator(kelvaro_rpn_calculator &calculator, std::string_view text)
{
    ApiEvaluation evaluation;
    const kelvaro_rpn_listing callbacks = evaluation.listing.Callbacks();
    const kelvaro_rpn_status status = kelvaro_rpn_calculator_evaluate(
        &calculator, text.data(), text.size(), &callbacks, &evaluation.outcome);
    Require(status == evaluation.outcome.status,
            "kelvaro_rpn_calculator_evaluate: returned status differs", text);
    return evaluation;
}

}  // namespace kelvaro_fuzz
