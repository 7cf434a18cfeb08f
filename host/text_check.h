// kelvaro_rpn_check with room that grows to what a text needs and is kept
// for the next one, so that checking line after line does not allocate.
#ifndef RPN_TEXT_CHECK_H
#define RPN_TEXT_CHECK_H

#include <kelvaro/rpn.h>

#include <cstddef>
#include <string_view>
#include <vector>

// The warnings of one text, in text order; valid until the next check.
struct Warnings {
    const kelvaro_rpn_warning *first;
    std::size_t count;

    const kelvaro_rpn_warning *begin() const { return first; }
    const kelvaro_rpn_warning *end() const { return first + count; }
    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }
    const kelvaro_rpn_warning &operator[](std::size_t i) const { return first[i]; }
    const kelvaro_rpn_warning &back() const { return first[count - 1]; }
};

class TextCheck {
public:
    TextCheck();

    Warnings Run(std::string_view text);
    // kelvaro_rpn_evaluate_checked: the outcome and listings of the text and,
    // from the same scan, its warnings, which Found gives (from the first
    // listing on).
    void Evaluate(std::string_view text, const kelvaro_rpn_listing *listing,
                  kelvaro_rpn_outcome &outcome);
    Warnings Found(std::string_view text);

private:
    std::vector<kelvaro_rpn_warning> room_;  // always at its full size
    std::size_t found_ = 0;                  // of the last Evaluate
};

#endif
