// A kelvaro_rpn_calculator that frees itself, and its stack as plain data.
#ifndef KELVARO_FUZZ_CALCULATOR_H
#define KELVARO_FUZZ_CALCULATOR_H

#include <kelvaro/rpn.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kelvaro_fuzz {

class Calculator {
public:
    Calculator();

    kelvaro_rpn_calculator &Get() { return *calculator_; }

    // The stack bit for bit, values[0] the bottom; also checks that
    // kelvaro_rpn_calculator_depth and kelvaro_rpn_calculator_values agree.
    std::vector<std::uint64_t> Snapshot(std::string_view text) const;

    // How many values are left after `text` ran on an empty calculator;
    // aborts unless it succeeds. The stack is emptied first.
    std::size_t DepthAfter(std::string_view text);

private:
    struct Destroy {
        void operator()(kelvaro_rpn_calculator *calculator) const;
    };
    std::unique_ptr<kelvaro_rpn_calculator, Destroy> calculator_;
};

}  // namespace kelvaro_fuzz

#endif
