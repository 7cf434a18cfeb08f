// rpn: evaluates arithmetic in reverse Polish notation through the
// KelvaroRPN library, from arguments, files, piped lines or a terminal.
#include "batch.h"
#include "exit_status.h"
#include "options.h"
#include "output.h"
#include "repl.h"
#include "session.h"
#include "standard_descriptors.h"
#include "usage_text.h"

#include <cstdio>
#include <new>
#include <unistd.h>

namespace {

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

    const bool interactive = options.sources.empty() && isatty(STDIN_FILENO) != 0;
    const SessionSettings settings{options.quiet, options.keepGoing || interactive,
                                   options.keepStack, options.format};
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
