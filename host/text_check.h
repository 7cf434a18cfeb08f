// kelvaro_rpn_check with room that grows to what a text needs and is kept
// for the next one, so that checking line after line does not allocate.
#ifndef RPN_TEXT_CHECK_H
#define RPN_TEXT_CHECK_H

#include <kelvaro/rpn.h>

#include <string_view>
#include <vector>

class TextCheck {
public:
    TextCheck();

    // Every warning for `text`, in text order; valid until the next call.
    const std::vector<kelvaro_rpn_warning> &Run(std::string_view text);

private:
    std::vector<kelvaro_rpn_warning> found_;
};

#endif
