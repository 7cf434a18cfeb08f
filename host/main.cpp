// rpn: evaluates arithmetic in reverse Polish notation through the
// KelvaroRPN library, from arguments, files, piped lines or a terminal.
#include "batch.h"
#include "exit_status.h"
#include "formula.h"
#include "options.h"
#include "output.h"
#include "repl.h"
#include "session.h"
#include "standard_descriptors.h"
#include "terminal.h"
#include "usage_text.h"

#include <cstdio>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

// The --each formula compiled, or a usage error (status 2) when it has an
// invalid character or, with --strict, anything the check finds: it would
// spoil every expression. Its warnings are said once, here.
int PrepareFormula(const Options &options, Output &output, std::unique_ptr<Formula> &formula)
{
    if (!options.each) {
        return kExitSuccess;
    }
    formula = std::make_unique<Formula>(*options.each);
    if (!formula->compiled()) {
        std::fputs((DescribeFailure(Place{kFormulaPart, 0}, formula->outcome(), formula->text()) +
                    UsageHint())
                       .c_str(),
                   stderr);
        return kExitUsage;
    }
    const Severity severity = options.strict ? Severity::kError : Severity::kWarning;
    const std::string warnings = DescribeFormulaWarnings(*formula, severity);
    if (options.strict && !warnings.empty()) {
        std::fputs((warnings + UsageHint()).c_str(), stderr);
        return kExitUsage;
    }
    if (options.warnings) {
        output.ToStandardError(warnings);
    }
    return kExitSuccess;
}

int Run(int argc, char **argv)
{
    const StandardDescriptors descriptors = ReserveStandardDescriptors();
    const Options options = ParseOptions(argc, argv);
    if (options.action == Action::kUsageError) {
        std::fputs(UsageErrorText(options.usageError).c_str(), stderr);
        return kExitUsage;
    }
    Output output(descriptors);
    if (options.action == Action::kShowHelp) {
        output.ToStandardOutput(HelpText());
        return output.Finish(kExitSuccess);
    }
    if (options.action == Action::kShowVersion) {
        output.ToStandardOutput(VersionText());
        return output.Finish(kExitSuccess);
    }

    std::unique_ptr<Formula> formula;
    const int prepared = PrepareFormula(options, output, formula);
    if (prepared != kExitSuccess) {
        return prepared;
    }

    const bool interactive = options.sources.empty() && IsTerminal(STDIN_FILENO);
    // At the prompt rpn is a desk calculator: the stack stays.
    const SessionSettings settings{options.quiet,    options.keepGoing || interactive,
                                   options.keepStack || interactive, options.format,
                                   options.warnings, options.strict,
                                   formula.get()};
    Session session(settings, output);
    if (interactive) {
        return output.Finish(RunInteractiveSession(session, output));
    }
    const Batch batch{session, output, options.keepGoing, descriptors.inputClosed};
    if (options.sources.empty()) {
        return output.Finish(RunStandardInput(batch));
    }
    return output.Finish(RunSources(batch, options.sources));
}

}  // namespace

int main(int argc, char **argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("rpn: out of memory\n", stderr);
        return kExitOwnFailure;
    }
}
