#include "evaluation.h"

#include "exit_status.h"
#include "wide_text.h"

#include <kelvaro/calculator_rpn.h>

#include <cstdio>
#include <unistd.h>

namespace {

// The library writes to file descriptor 1 through stdout; pointing the
// descriptor at standard error for the length of the call moves everything
// it prints, including the message of a failure that never returns.
const wchar_t *EvaluateOntoStandardError(const std::wstring &expression)
{
    std::fflush(stdout);
    const int savedOutput = dup(STDOUT_FILENO);
    if (savedOutput < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::perror("rpn: cannot redirect standard output");
        _exit(kExitSystem);
    }
    const wchar_t *value = CalculatorRPN(expression.c_str());
    std::fflush(stdout);
    dup2(savedOutput, STDOUT_FILENO);
    close(savedOutput);
    return value;
}

}  // namespace

void EvaluateHere(const std::string &expression, OutputChoice output)
{
    const std::wstring wide = WidenBytes(expression);
    if (!output.quiet) {
        CalculatorRPN(wide.c_str());
        return;
    }
    const std::string line = NarrowToBytes(EvaluateOntoStandardError(wide)) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}
