#include "api/api_run.h"

#include <vector>

namespace kelvaro_test {
namespace {

void RecordLine(void *context, const char *text, size_t length)
{
    static_cast<ApiRun *>(context)->lines.append(text, length);
}

void RecordValues(void *context, char command, const double *values, size_t count)
{
    std::string &out = static_cast<ApiRun *>(context)->values;
    out += command;
    out += ':';
    for (size_t i = 0; i < count; ++i) {
        out += (i > 0 ? "," : "") + Fixed(values[i]);
    }
    out += ' ';
}

}  // namespace

std::string Fixed(double value)
{
    char text[KELVARO_RPN_FIXED_SIZE];
    const size_t length = kelvaro_rpn_format_fixed(value, 6, text, sizeof text);
    return std::string(text, length);
}

kelvaro_rpn_listing RecordInto(ApiRun &run)
{
    return kelvaro_rpn_listing{RecordLine, RecordValues, &run};
}

ApiRun Evaluate(std::string_view text)
{
    ApiRun run{};
    const kelvaro_rpn_listing listing = RecordInto(run);
    kelvaro_rpn_evaluate_listing(text.data(), text.size(), &listing, &run.outcome);
    return run;
}

ApiRun EvaluateOn(kelvaro_rpn_calculator *calculator, std::string_view text)
{
    ApiRun run{};
    const kelvaro_rpn_listing listing = RecordInto(run);
    kelvaro_rpn_calculator_evaluate(calculator, text.data(), text.size(), &listing, &run.outcome);
    return run;
}

std::string StackOf(const kelvaro_rpn_calculator *calculator)
{
    std::vector<double> values(KELVARO_RPN_STACK_CAPACITY);
    const size_t count = kelvaro_rpn_calculator_values(calculator, values.data(), values.size());
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += (i > 0 ? "," : "") + Fixed(values[i]);
    }
    return text;
}

}  // namespace kelvaro_test
