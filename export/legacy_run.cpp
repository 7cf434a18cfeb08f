#include "export/legacy_run.h"

#include "engine/evaluator.h"
#include "engine/value_stack.h"

namespace kelvaro {

int ExitStatusOf(Status status)
{
    return status == Status::kStackOverflow ? kStatusOverflow : kStatusInvalidOrUnderflow;
}

Outcome RunLegacy(const char *text, std::size_t length, LineWriter write, void *context,
                  char *resultLine, std::size_t &resultLength)
{
    ValueStack stack;
    ResetStack(stack);
    const Listing listing{write, nullptr, context};
    const Outcome outcome = EvaluateExpression(stack, text, length, listing);
    if (outcome.status == Status::kOk) {
        resultLength = FormatResultLine(resultLine, outcome.value);
        write(context, resultLine, resultLength);
    } else {
        resultLength = 0;
        char line[kMaxLineLength];
        write(context, line, FormatFailureLine(line, outcome.status, outcome.byte));
    }
    return outcome;
}

}  // namespace kelvaro
