// One evaluation through the public API of kelvaro/rpn.h, with every listing
// callback recorded.
#ifndef KELVARO_FUZZ_API_EVALUATION_H
#define KELVARO_FUZZ_API_EVALUATION_H

#include "listing_record.h"

#include <kelvaro/rpn.h>

#include <string_view>

namespace kelvaro_fuzz {

struct ApiEvaluation {
    kelvaro_rpn_outcome outcome{};
    ListingRecord listing;
};

// kelvaro_rpn_evaluate_listing on the bytes of `text`; also checks that the
// returned status is outcome->status and that kelvaro_rpn_evaluate, without
// listings, ends the same way.
ApiEvaluation EvaluateOneShot(std::string_view text);

// kelvaro_rpn_calculator_evaluate on `calculator`'s stack.
ApiEvaluation EvaluateOnCalculator(kelvaro_rpn_calculator &calculator, std::string_view text);

}  // namespace kelvaro_fuzz

#endif
