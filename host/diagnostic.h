// What rpn says on standard error about an expression: where it failed and
// what it probably does not mean.
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
    // "--each" when the column counts in the --each formula run after the
    // expression: "rpn: argument 2: --each:3: ..."; "" for the expression.
    std::string_view part{};
};

// How a warning is said: as a warning, or as the error --strict makes it.
enum class Severity { kWarning, kError };

// "rpn: FILE:LINE:COLUMN: invalid character '?'\n", the column counted in
// bytes from 1; an underflow at the end of the text points just past it.
std::string DescribeFailure(const Place &place, const kelvaro_rpn_outcome &outcome,
                            std::string_view text);

// "rpn: PLACE:COLUMN: warning: 'qrt' after 's' is skipped (only a token's
// first byte counts)\n" for one of kelvaro_rpn_check's findings in `text`.
std::string DescribeWarning(const Place &place, const kelvaro_rpn_warning &warning,
                            std::string_view text, Severity severity);

// The text again and, on the line below it, a caret under the byte at
// `offset`.
std::string PointAt(std::size_t offset, std::string_view text);

#endif
