#include "formula.h"

#include "text_check.h"

#include <new>
#include <utility>

Formula::Formula(std::string text) : text_(std::move(text))
{
    const kelvaro_rpn_status status =
        kelvaro_rpn_compile(text_.data(), text_.size(), &program_, &outcome_);
    // Out of memory ends rpn the way every other allocation failure does.
    if (status == KELVARO_RPN_OUT_OF_MEMORY) {
        throw std::bad_alloc();
    }
}

Formula::~Formula()
{
    kelvaro_rpn_program_destroy(program_);
}

kelvaro_rpn_outcome Formula::Run(const double *values, std::size_t count,
                                 const kelvaro_rpn_listing *listing) const
{
    kelvaro_rpn_outcome result{};
    kelvaro_rpn_program_run(program_, values, count, listing, &result);
    return result;
}

std::string DescribeFormulaWarnings(const Formula &formula, Severity severity)
{
    TextCheck check;
    std::string lines;
    for (const kelvaro_rpn_warning &warning : check.Run(formula.text())) {
        if (warning.kind != KELVARO_RPN_WARNING_VALUES_LEFT) {
            lines += DescribeWarning(Place{kFormulaPart, 0}, warning, formula.text(), severity);
        }
    }
    return lines;
}
