#include "text_check.h"

namespace {

// More than an expression typed by hand usually has.
constexpr std::size_t kInitialRoom = 8;

}  // namespace

TextCheck::TextCheck()
{
    found_.reserve(kInitialRoom);
}

const std::vector<kelvaro_rpn_warning> &TextCheck::Run(std::string_view text)
{
    found_.resize(found_.capacity());
    std::size_t count = kelvaro_rpn_check(text.data(), text.size(), found_.data(), found_.size());
    if (count > found_.size()) {
        found_.resize(count);
        count = kelvaro_rpn_check(text.data(), text.size(), found_.data(), found_.size());
    }
    found_.resize(count);
    return found_;
}
