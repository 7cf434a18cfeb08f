#include "calculator_depth.h"

namespace kelvaro_bench {

kelvaro_rpn_calculator *CalculatorAtDepth(std::size_t depth)
{
    if (depth + 1 > KELVARO_RPN_STACK_CAPACITY) {
        return nullptr;
    }
    kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
    if (calculator == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < depth; ++i) {
        kelvaro_rpn_outcome outcome;
        if (kelvaro_rpn_calculator_evaluate(calculator, "1", 1, nullptr, &outcome) !=
            KELVARO_RPN_OK) {
            kelvaro_rpn_calculator_destroy(calculator);
            return nullptr;
        }
    }
    if (kelvaro_rpn_calculator_depth(calculator) != depth) {
        kelvaro_rpn_calculator_destroy(calculator);
        return nullptr;
    }
    return calculator;
}

}  // namespace kelvaro_bench
