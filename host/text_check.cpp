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
