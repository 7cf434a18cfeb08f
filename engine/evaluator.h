// Evaluation of one expression in reverse Polish notation.
//
// A token starts at the first byte and after every space or tab; only its
// first byte counts. Failures come back as values (outcome.h): nothing here
// prints, ends the process or keeps state between calls.
#ifndef KELVARO_ENGINE_EVALUATOR_H
#define KELVARO_ENGINE_EVALUATOR_H

#include "engine/listing.h"
#include "engine/outcome.h"
#include "engine/value_stack.h"

#include <cstddef>

namespace kelvaro {

// Runs every token of the `length` bytes at `text` on `stack`, reporting
// '#' and '@' to `listing`. A NUL is an ordinary byte; nothing beyond
// `length` is read. kOk means every token ran (the value is not set); on a
// failure the stack holds what the commands before it left.
Outcome RunTokens(ValueStack &stack, const char *text, std::size_t length, const Listing &listing);

// RunTokens, then the top of the stack is the value; an empty stack there
// is an underflow at offset `length`. The stack is left as it is.
inline Outcome EvaluateExpression(ValueStack &stack, const char *text, std::size_t length,
                                  const Listing &listing)
{
    Outcome outcome = RunTokens(stack, text, length, listing);
    if (outcome.status == Status::kOk && !PeekValue(stack, outcome.value)) {
        outcome.status = Status::kStackUnderflow;
    }
    return outcome;
}

}  // namespace kelvaro

#endif
