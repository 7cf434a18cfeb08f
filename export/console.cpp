#include "export/console.h"

#include <cstdio>
#include <cwchar>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kelvaro {

#if !defined(_WIN32)
namespace {

// glibc drops byte output on a stream that wprintf has made wide-oriented:
// give such a host its lines as wide characters, each byte the character of
// the same value, as text_conversion widens the returned text. A call of its
// own, so that the common byte write sets up nothing for this loop.
__attribute__((noinline)) void WriteWide(const char *line, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        std::fputwc(static_cast<wchar_t>(static_cast<unsigned char>(line[i])), stdout);
    }
}

}  // namespace
#endif

void WriteToStdout(void * /*context*/, const char *line, std::size_t length)
{
#if !defined(_WIN32)
    if (std::fwide(stdout, 0) > 0) {
        WriteWide(line, length);
        return;
    }
#endif
    std::fwrite(line, 1, length, stdout);
}

void FatalStop(int status)
{
    // The host's own buffered output must reach its destination too.
    std::fflush(nullptr);
#if defined(_WIN32)
    // Unlike ExitProcess, this runs no exit handlers and no DLL detach code.
    // -1 becomes 0xFFFFFFFF, which the parent reads back as -1.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    // TerminateProcess may return before the ending reaches this thread:
    // wait for it without spinning.
    for (;;) {
        Sleep(INFINITE);
    }
#else
    _exit(status);
#endif
}

}  // namespace kelvaro
