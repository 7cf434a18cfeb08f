// The --each formula: compiled once, run after every expression on what the
// expression left.
#ifndef RPN_FORMULA_H
#define RPN_FORMULA_H

#include "diagnostic.h"

#include <kelvaro/rpn.h>

#include <string>
#include <string_view>

// How the formula's diagnostics name it: "rpn: --each:3: ...".
constexpr std::string_view kFormulaPart = "--each";

class Formula {
public:
    // Compiles `text`; compiled() is false and outcome() says where when it
    // has an invalid character. Throws std::bad_alloc when memory runs out.
    explicit Formula(std::string text);
    ~Formula();
    Formula(const Formula &) = delete;
    Formula &operator=(const Formula &) = delete;

    bool compiled() const { return program_ != nullptr; }
    const kelvaro_rpn_outcome &outcome() const { return outcome_; }
    std::string_view text() const { return text_; }
    // The fewest values it runs on, and how many it leaves on `count`.
    std::size_t inputs() const { return kelvaro_rpn_program_inputs(program_); }
    std::size_t outputs(std::size_t count) const
    {
        return kelvaro_rpn_program_outputs(program_, count);
    }

    // Runs the formula on the stack `values` (values[0] the bottom), as if
    // its text followed theirs after a space.
    kelvaro_rpn_outcome Run(const double *values, std::size_t count,
                            const kelvaro_rpn_listing *listing) const;

private:
    std::string text_;
    kelvaro_rpn_program *program_ = nullptr;
    kelvaro_rpn_outcome outcome_{};
};

// What the check finds in the formula itself, one line each: its tails
// ("--each:4: warning: ..."). Values it leaves depend on what it runs on, so
// those are checked with each expression.
std::string DescribeFormulaWarnings(const Formula &formula, Severity severity);

#endif
