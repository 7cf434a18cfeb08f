// Evaluation of one expression in reverse Polish notation.
//
// A token starts at the first byte and after every space or tab; only its
// first byte counts. Failures come back in the outcome: nothing here prints,
// ends the process or keeps state between calls.
#ifndef KELVARO_ENGINE_EVALUATOR_H
#define KELVARO_ENGINE_EVALUATOR_H

#include <kelvaro/rpn.h>

#include "engine/check.h"
#include "engine/value_stack.h"

#include <cstddef>

namespace kelvaro {

// Runs every token of the `length` bytes at `text` on `stack`, reporting
// '#' and '@' to `listing` (NULL: nowhere). A NUL is an ordinary byte;
// nothing beyond `length` is read. KELVARO_RPN_OK means every token ran (the
// value is not set); on a failure the stack holds what the commands before it
// left and the offset is where the failing token starts.
kelvaro_rpn_outcome RunTokens(ValueStack &stack, const char *text, std::size_t length,
                              const kelvaro_rpn_listing *listing);

// RunTokens that also saves in `journal` every value it pops from below the
// journal's floor, so that RestoreStack can undo it.
kelvaro_rpn_outcome RunTokensJournaled(ValueStack &stack, StackJournal &journal,
                                       const char *text, std::size_t length,
                                       const kelvaro_rpn_listing *listing);

// RunTokens, then the top of the stack is the value; an empty stack there
// is an underflow at offset `length`. The stack is left as it is.
kelvaro_rpn_outcome EvaluateExpression(ValueStack &stack, const char *text, std::size_t length,
                                       const kelvaro_rpn_listing *listing);

// EvaluateExpression on a stack that starts empty, reporting to `checker`
// what CheckText reports for the text, in the same pass; all of it before
// the first '#' or '@' lists anything.
kelvaro_rpn_outcome EvaluateChecked(ValueStack &stack, const char *text, std::size_t length,
                                    const kelvaro_rpn_listing *listing, TextChecker &checker);

}  // namespace kelvaro

#endif
