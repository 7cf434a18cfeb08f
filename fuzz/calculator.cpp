#include "calculator.h"

#include "api_text.h"
#include "require.h"

namespace kelvaro_fuzz {

void Calculator::Destroy::operator()(kelvaro_rpn_calculator *calculator) const
{
    kelvaro_rpn_calculator_destroy(calculator);
}

Calculator::Calculator() : calculator_(kelvaro_rpn_calculator_create())
{
    Require(calculator_ != nullptr, "kelvaro_rpn_calculator_create failed", {});
}

std::vector<std::uint64_t> Calculator::Snapshot(std::string_view text) const
{
    double values[KELVARO_RPN_STACK_CAPACITY];
    const std::size_t count =
        kelvaro_rpn_calculator_values(calculator_.get(), values, KELVARO_RPN_STACK_CAPACITY);
    Require(count <= KELVARO_RPN_STACK_CAPACITY &&
                count == kelvaro_rpn_calculator_depth(calculator_.get()),
            "the calculator's depth and values disagree", text);
    std::vector<std::uint64_t> bits;
    for (std::size_t i = 0; i < count; ++i) {
        bits.push_back(BitsOf(values[i]));
    }
    return bits;
}

std::size_t Calculator::DepthAfter(std::string_view text)
{
    kelvaro_rpn_calculator_clear(calculator_.get());
    Require(kelvaro_rpn_calculator_depth(calculator_.get()) == 0,
            "kelvaro_rpn_calculator_clear left values", text);
    kelvaro_rpn_outcome outcome{};
    const kelvaro_rpn_status status =
        kelvaro_rpn_calculator_evaluate(calculator_.get(), text.data(), text.size(), nullptr,
                                        &outcome);
    Require(status == KELVARO_RPN_OK, "the text before a failing token fails by itself", text);
    return kelvaro_rpn_calculator_depth(calculator_.get());
}

}  // namespace kelvaro_fuzz
