#include "output.h"

#include "exit_status.h"
#include "terminal.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Large enough that 300,000 short lines take a few hundred writes.
constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

#ifdef _WIN32
// Windows has no inode numbers in fstat: a file is its volume and index, a
// pipe the object its handles refer to (CompareObjectHandles,
// Windows 10 and later; before that, a pipe is never taken for another).
HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

bool SameObject(HANDLE first, HANDLE second)
{
    using Compare = BOOL(WINAPI *)(HANDLE, HANDLE);
    const HMODULE kernelBase = GetModuleHandleW(L"kernelbase.dll");
    const auto compare = kernelBase == nullptr ? nullptr
                             : reinterpret_cast<Compare>(reinterpret_cast<void (*)()>(
                                   GetProcAddress(kernelBase, "CompareObjectHandles")));
    return compare != nullptr && compare(first, second) != 0;
}

bool SameFile(int first, int second)
{
    const HANDLE a = HandleOf(first);
    const HANDLE b = HandleOf(second);
    // A process has one console, whichever of its handles reach it.
    DWORD mode = 0;
    if (GetConsoleMode(a, &mode) != 0 && GetConsoleMode(b, &mode) != 0) {
        return true;
    }
    if (GetFileType(a) != FILE_TYPE_DISK || GetFileType(b) != FILE_TYPE_DISK) {
        return SameObject(a, b);
    }
    BY_HANDLE_FILE_INFORMATION infoA{};
    BY_HANDLE_FILE_INFORMATION infoB{};
    return GetFileInformationByHandle(a, &infoA) != 0 && GetFileInformationByHandle(b, &infoB) != 0 &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}
#else
bool SameFile(int first, int second)
{
    struct stat a {};
    struct stat b {};
    return fstat(first, &a) == 0 && fstat(second, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
#endif

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
      flushOutEachExpression_(!descriptors.outputClosed && IsTerminal(STDOUT_FILENO)),
      flushErrEachExpression_(errorUsable_ && IsTerminal(STDERR_FILENO))
{
    if (descriptors.outputClosed) {
        out_.Break(EBADF);
    } else if (errorUsable_ && SameFile(STDOUT_FILENO, STDERR_FILENO)) {
        errorLines_ = &out_;
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
