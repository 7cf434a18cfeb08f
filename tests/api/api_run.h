// Evaluations through the public reentrant API, with what their listings
// reported collected as text.
#ifndef KELVARO_TESTS_API_API_RUN_H
#define KELVARO_TESTS_API_API_RUN_H

#include <kelvaro/rpn.h>

#include <string>
#include <string_view>

namespace kelvaro_test {

struct ApiRun {
    kelvaro_rpn_outcome outcome;
    std::string lines;   // the legacy listing lines
    std::string values;  // "#:<top> " and "@:<bottom>,...,<top> ", "%f" each
};

// kelvaro_rpn_format_fixed(value, 6): the legacy "%f" text.
std::string Fixed(double value);

// The listing that records into `run`.
kelvaro_rpn_listing RecordInto(ApiRun &run);

ApiRun Evaluate(std::string_view text);
ApiRun EvaluateOn(kelvaro_rpn_calculator *calculator, std::string_view text);

// The calculator's stack, bottom first, "%f" each, comma-separated.
std::string StackOf(const kelvaro_rpn_calculator *calculator);

}  // namespace kelvaro_test

#endif
