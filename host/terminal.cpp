#include "terminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// The console's screen buffer, whatever standard output and error were
// redirected to; "CONOUT$" is its name for opening.
std::FILE *OpenStandardInputsTerminal()
{
    return IsTerminal(0) ? std::fopen("CONOUT$", "wb") : nullptr;
}
#else
std::FILE *OpenStandardInputsTerminal()
{
    const char *name = ttyname(STDIN_FILENO);
    return name == nullptr ? nullptr : std::fopen(name, "we");
}
#endif

}  // namespace

Terminal::Terminal() : stream_(OpenStandardInputsTerminal()), owned_(stream_ != nullptr)
{
    if (stream_ == nullptr) {
        stream_ = stderr;
    }
}

Terminal::~Terminal()
{
    if (owned_) {
        // Everything shown was flushed already: nothing is left to lose.
        (void)std::fclose(stream_);
    }
}

void Terminal::Show(const std::string &text)
{
    std::fwrite(text.data(), 1, text.size(), stream_);
    std::fflush(stream_);
}

#ifdef _WIN32
bool IsTerminal(int fd)
{
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &mode) != 0;
}
#else
bool IsTerminal(int fd)
{
    return isatty(fd) != 0;
}
#endif
