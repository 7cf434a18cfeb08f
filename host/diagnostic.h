// What rpn says on standard error about a failed expression.
#ifndef RPN_DIAGNOSTIC_H
#define RPN_DIAGNOSTIC_H

#include <kelvaro/rpn.h>

#include <string>
#include <string_view>

// Where an expression came from: "argument 2" (no line), or a file name
// ("-" for standard input) and a line counted from 1.
struct Place {
    std::string_view name;
    unsigned long line;  // 0: the place has no lines
};

// "rpn: FILE:LINE:COLUMN: invalid character '?'\n", the column counted in
// bytes from 1; an underflow at the end of the text points just past it.
std::string DescribeFailure(const Place &place, const kelvaro_rpn_outcome &outcome,
                            std::string_view text);

// The text again and, on the line below it, a caret under the byte where
// the failing token starts.
std::string PointAtFailure(const kelvaro_rpn_outcome &outcome, std::string_view text);

#endif
