#include "output.h"

#include "exit_status.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Large enough that 300,000 short lines take a few hundred writes.
constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

bool SameFile(int first, int second)
{
    struct stat a {};
    struct stat b {};
    return fstat(first, &a) == 0 && fstat(second, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// The message of a failure that ends rpn goes straight to the descriptor:
// nothing may stand between it and the user.
void WriteMessage(const std::string &message)
{
    const std::string line = "rpn: " + message + "\n";
    ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
}

}  // namespace

Output::Output(const StandardDescriptors &descriptors)
    : out_(STDOUT_FILENO, kBufferSize),
      err_(STDERR_FILENO, kBufferSize),
      errorLines_(&err_),
      errorUsable_(!descriptors.errorClosed),
      flushOutEachExpression_(!descriptors.outputClosed && isatty(STDOUT_FILENO) != 0),
      flushErrEachExpression_(errorUsable_ && isatty(STDERR_FILENO) != 0)
{
    if (descriptors.outputClosed) {
        out_.Break(EBADF);
    } else if (errorUsable_ && SameFile(STDOUT_FILENO, STDERR_FILENO)) {
        errorLines_ = &out_;
        oneTerminal_ = flushOutEachExpression_;
    }
}

void Output::ToStandardOutput(std::string_view text)
{
    if (!out_.Append(text)) {
        StopOnWriteError(out_.error());
    }
}

void Output::ToStandardError(std::string_view text)
{
    if (!errorUsable_) {
        return;
    }
    if (errorLines_ == &out_) {
        ToStandardOutput(text);
    } else if (!err_.Append(text)) {
        errorUsable_ = false;
    }
}

void Output::ExpressionDone()
{
    if (flushOutEachExpression_ && !out_.Flush()) {
        StopOnWriteError(out_.error());
    }
    if (flushErrEachExpression_) {
        FlushStandardError();
    }
}

void Output::FlushAll()
{
    if (!out_.Flush()) {
        StopOnWriteError(out_.error());
    }
    FlushStandardError();
}

int Output::Finish(int status)
{
    FlushAll();
    if (close(STDOUT_FILENO) != 0 && errno != EINTR) {
        StopOnWriteError(errno);
    }
    return status;
}

void Output::Stop(const std::string &message)
{
    FlushAll();
    WriteMessage(message);
    _exit(kExitOwnFailure);
}

void Output::StopOnWriteError(int error)
{
    FlushStandardError();
    WriteMessage(std::string("write error: ") + std::strerror(error));
    _exit(kExitOwnFailure);
}

void Output::FlushStandardError()
{
    if (errorUsable_ && errorLines_ == &err_ && !err_.Flush()) {
        errorUsable_ = false;
    }
}
