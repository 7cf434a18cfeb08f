#include "batch.h"

#include "exit_status.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view kStandardInputName = "-";
#ifdef _WIN32
// The bytes as they are: the line reader takes CR LF itself.
constexpr int kInputFileFlags = O_RDONLY | O_BINARY | O_NOINHERIT;
#else
constexpr int kInputFileFlags = O_RDONLY | O_CLOEXEC;
#endif

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

// "rpn: read error: REASON" for standard input, "rpn: FILE: read error:
// REASON" for a file.
[[noreturn]] void StopOnReadError(const Batch &batch, const LineReader &reader, std::string_view name)
{
    const std::string reason = std::string("read error: ") + std::strerror(reader.error());
    batch.output.Stop(name == kStandardInputName ? reason : std::string(name) + ": " + reason);
}

// What the lines so far wrote goes out before rpn waits for more: a program
// that drives rpn line by line reads each answer before it sends the next
// line, while lines that are already waiting keep the output buffered.
void FlushBeforeWaiting(void *output)
{
    static_cast<Output *>(output)->FlushAll();
}

// Empty lines hold no expression and are skipped; they still count in the
// line numbers of the diagnostics.
int RunLines(const Batch &batch, LineReader &reader, std::string_view name)
{
    reader.BeforeWaiting(FlushBeforeWaiting, &batch.output);
    int firstFailure = kExitSuccess;
    unsigned long number = 0;
    for (;;) {
        std::string_view line;
        const LineReader::Result result = reader.Next(line);
        if (result != LineReader::Result::kLine) {
            if (result == LineReader::Result::kError) {
                StopOnReadError(batch, reader, name);
            }
            return firstFailure;
        }
        ++number;
        // cppcheck 2.10 takes the line for the empty one it was declared as,
        // missing that Next() has just set it.
        // cppcheck-suppress knownConditionTrueFalse
        if (line.empty()) {
            continue;
        }
        const Verdict verdict = batch.session.Evaluate(line, Place{name, number});
        if (!Record(batch, verdict.status, firstFailure)) {
            return firstFailure;
        }
    }
}

int RunFile(const Batch &batch, const std::string &name)
{
    if (name == kStandardInputName) {
        return RunStandardInput(batch);
    }
    const int fd = open(name.c_str(), kInputFileFlags);
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
    return batch.session.Evaluate(source.text, Place{name, 0}).status;
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
