#include "batch.h"

#include "exit_status.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const std::string kStandardInputName = "-";

// Keeps the first failure; says whether to go on after `status`.
bool Record(const Batch &batch, int status, int &firstFailure)
{
    if (status == kExitSuccess) {
        return true;
    }
    if (firstFailure == kExitSuccess) {
        firstFailure = status;
    }
    return batch.keepGoing;
}

// Empty lines hold no expression and are skipped; they still count in the
// line numbers of the diagnostics.
int RunLines(const Batch &batch, LineReader &reader, const std::string &name)
{
    int firstFailure = kExitSuccess;
    std::string_view line;
    unsigned long number = 0;
    LineReader::Result result;
    while ((result = reader.Next(line)) == LineReader::Result::kLine) {
        ++number;
        if (line.empty()) {
            continue;
        }
        const kelvaro_rpn_outcome outcome = batch.session.Evaluate(line, Place{name, number});
        if (!Record(batch, ExitStatusOf(outcome.status), firstFailure)) {
            return firstFailure;
        }
    }
    if (result == LineReader::Result::kError) {
        const std::string reason = std::strerror(reader.error());
        batch.output.Stop(name == kStandardInputName ? "read error: " + reason
                                                     : name + ": read error: " + reason);
    }
    return firstFailure;
}

int RunFile(const Batch &batch, const std::string &name)
{
    if (name == kStandardInputName) {
        return RunStandardInput(batch);
    }
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        batch.output.Stop(name + ": " + std::strerror(errno));
    }
    LineReader reader(fd);
    const int status = RunLines(batch, reader, name);
    close(fd);
    return status;
}

int RunExpression(const Batch &batch, const Source &source)
{
    const std::string name = "argument " + std::to_string(source.argumentNumber);
    const kelvaro_rpn_outcome outcome = batch.session.Evaluate(source.text, Place{name, 0});
    return ExitStatusOf(outcome.status);
}

}  // namespace

int RunSources(const Batch &batch, const std::vector<Source> &sources)
{
    int firstFailure = kExitSuccess;
    for (const Source &source : sources) {
        const int status = source.kind == Source::Kind::kFile ? RunFile(batch, source.text)
                                                              : RunExpression(batch, source);
        if (!Record(batch, status, firstFailure)) {
            break;
        }
    }
    return firstFailure;
}

int RunStandardInput(const Batch &batch)
{
    LineReader reader(STDIN_FILENO);
    if (batch.standardInputClosed) {
        reader.Break(EBADF);
    }
    return RunLines(batch, reader, kStandardInputName);
}
