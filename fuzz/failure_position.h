// Where a failure may happen, judged from the text and the stack depth the
// text before the failing token leaves.
#ifndef KELVARO_FUZZ_FAILURE_POSITION_H
#define KELVARO_FUZZ_FAILURE_POSITION_H

#include <kelvaro/rpn.h>

#include <string_view>

namespace kelvaro_fuzz {

// For a failed `outcome` of `text`: the offset is a token start, or the end
// of the text for an underflow there; the text before it runs by itself; and
//   - an invalid character is no number and no command of the public table;
//   - an overflow is at a token that pushes, onto a full stack;
//   - an underflow is at a command that needs more values than the stack
//     holds, or at the end with an empty stack.
void CheckFailurePosition(std::string_view text, const kelvaro_rpn_outcome &outcome);

}  // namespace kelvaro_fuzz

#endif
