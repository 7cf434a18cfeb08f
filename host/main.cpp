// rpn: evaluates arithmetic in reverse Polish notation through the
// KelvaroCalculatorRPN library, from arguments, piped lines or a terminal.
#include "batch.h"
#include "exit_status.h"
#include "line_source.h"
#include "options.h"
#include "repl.h"
#include "usage_text.h"

#include <clocale>
#include <unistd.h>

int main(int argc, char **argv)
{
    const Options options = ParseOptions(argc, argv);
    switch (options.action) {
    case Action::kShowHelp:
        PrintHelp();
        return kExitSuccess;
    case Action::kShowVersion:
        PrintVersion();
        return kExitSuccess;
    case Action::kUsageError:
        PrintUsageError(options.badOption);
        return kExitUsage;
    case Action::kEvaluate:
        break;
    }

    const RunChoice choice{options.keepGoing, OutputChoice{options.quiet}};
    if (!options.expressions.empty()) {
        return EvaluateArguments(options.expressions, choice);
    }
    if (isatty(STDIN_FILENO) == 0) {
        LineSource input = OpenLineSource(STDIN_FILENO);
        return EvaluateLines(input, choice);
    }
    // Only the line editor needs the terminal's character set; expressions
    // are passed on byte for byte either way.
    std::setlocale(LC_CTYPE, "");
    return RunInteractiveSession(choice.output);
}
