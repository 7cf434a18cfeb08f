// The two listing callbacks of kelvaro/rpn.h against each other and against
// the text.
#ifndef KELVARO_FUZZ_LISTING_CHECKS_H
#define KELVARO_FUZZ_LISTING_CHECKS_H

#include "api_evaluation.h"

#include <string_view>

namespace kelvaro_fuzz {

// Each values report comes first and is followed by exactly its lines:
// "Top of stack: " and the fixed text of the one value for '#'; for '@' an
// empty line, a rule, the values top down, the rule. No line comes without
// its report, and the reports are the text's listing tokens before the
// failing one, in order.
void CheckListingConsistent(std::string_view text, const ApiEvaluation &api);

}  // namespace kelvaro_fuzz

#endif
