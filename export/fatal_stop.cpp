#include "export/fatal_stop.h"

#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kelvaro {

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
