#include "text_check.h"

namespace {

// More than an expression typed by hand usually has.
constexpr std::size_t kInitialRoom = 8;

}  // namespace

TextCheck::TextCheck() : room_(kInitialRoom) {}

Warnings TextCheck::Run(std::string_view text)
{
    const std::size_t count =
        kelvaro_rpn_check(text.data(), text.size(), room_.data(), room_.size());
    if (count > room_.size()) {
        room_.resize(count);
        kelvaro_rpn_check(text.data(), text.size(), room_.data(), room_.size());
    }
    return Warnings{room_.data(), count};
}

void TextCheck::Evaluate(std::string_view text, const kelvaro_rpn_listing *listing,
                         kelvaro_rpn_outcome &outcome)
{
    found_ = 0;
    kelvaro_rpn_evaluate_checked(text.data(), text.size(), listing, room_.data(), room_.size(),
                                 &found_, &outcome);
}

// More than there was room for: the check alone, with room enough.
Warnings TextCheck::Found(std::string_view text)
{
    return found_ > room_.size() ? Run(text) : Warnings{room_.data(), found_};
}
