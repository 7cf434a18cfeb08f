#include "output.h"

#include "exit_status.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <fcntl.h>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace {

// 300,000 short lines in a few hundred writes. Given no buffer, stdio takes
// the block size (4 KiB on a pipe) whatever size it is asked for.
constexpr std::size_t kBufferSize = std::size_t{64} * 1024;
char outBuffer[kBufferSize];

// Whether it was closed. open() takes the lowest free descriptor, so the
// lower are reserved first.
bool Reserve(int fd, int mode)
{
#ifdef _WIN32
    constexpr char kNullDevice[] = "NUL";
    const intptr_t handle = _get_osfhandle(fd);
    // A program started without a standard handle gets -2 for it.
    if (handle != -1 && handle != -2) {
        return false;
    }
#else
    constexpr char kNullDevice[] = "/dev/null";
    if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
        return false;
    }
#endif
    const int placeholder = open(kNullDevice, mode);
    if (placeholder >= 0 && placeholder != fd) {
        dup2(placeholder, fd);
        close(placeholder);
    }
    return true;
}

// "rpn: MESSAGE" and status 3.
[[noreturn]] void End(const std::string &message)
{
    std::fprintf(stderr, "rpn: %s\n", message.c_str());
    _exit(kExitOwnFailure);
}

}  // namespace

bool IsTerminal(int fd)
{
#ifdef _WIN32
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &mode) != 0;
#else
    return isatty(fd) != 0;
#endif
}

Output::Output()
{
    inputClosed_ = Reserve(STDIN_FILENO, O_RDONLY);
    outputClosed_ = Reserve(STDOUT_FILENO, O_WRONLY);
    Reserve(STDERR_FILENO, O_WRONLY);
#ifdef _WIN32
    // The bytes as everywhere else: lines end in LF on the way out, and CR LF
    // is taken as it comes in.
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        _setmode(fd, _O_BINARY);
    }
#endif
    outTerminal_ = !outputClosed_ && IsTerminal(STDOUT_FILENO);
    (void)std::setvbuf(stdout, outBuffer, outTerminal_ ? _IOLBF : _IOFBF, kBufferSize);
    // Unbuffered, as C starts it everywhere: standard error's lines go out
    // at once, after what standard output holds, so that both keep their
    // order when they lead to one file (2>&1).
    (void)std::setvbuf(stderr, nullptr, _IONBF, 0);
}

// What standard error refuses is dropped. A write error of standard output
// is said after the line, which tells what went wrong before it.
void Output::Err(std::string_view text)
{
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    (void)std::fwrite(text.data(), 1, text.size(), stderr);
    if (!flushed) {
        errno = error;
        StopOnWriteError();
    }
}

void Output::Flush()
{
    if (std::fflush(stdout) != 0) {
        StopOnWriteError();
    }
}

int Output::Finish(int status)
{
    Flush();
    if (std::fclose(stdout) != 0 && errno != EINTR) {
        StopOnWriteError();
    }
    return status;
}

void Output::Stop(const std::string &message)
{
    Flush();
    End(message);
}

void Output::StopOnWriteError() const
{
    const int error = outputClosed_ ? EBADF : errno;  // before the message is built
    End(std::string("write error: ") + std::strerror(error));
}

