// What the legacy output may look like, judged line by line from the text
// alone: no other evaluation is needed to tell a malformed line.
#ifndef KELVARO_FUZZ_OUTPUT_SHAPE_H
#define KELVARO_FUZZ_OUTPUT_SHAPE_H

#include <kelvaro/rpn.h>

#include <string_view>

namespace kelvaro_fuzz {

// "%f" text as the library writes it: -?digits.dddddd, or inf, -inf, nan.
bool IsValueText(std::string_view text);

// Checks the whole legacy output of an evaluation of `text` that ended with
// `outcome`: any number of "Top of stack: <value>" lines and stack listings
// (an empty line, a rule, at most the stack's capacity of values, a rule),
// then exactly one line: "result = <value>" for a success, otherwise the
// message of the failure, an invalid character quoting the byte at the
// outcome's offset.
void CheckOutputShape(std::string_view text, const kelvaro_rpn_outcome &outcome,
                      std::string_view output);

}  // namespace kelvaro_fuzz

#endif
