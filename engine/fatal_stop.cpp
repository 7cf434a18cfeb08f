#include "value.h"

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
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    // TerminateProcess does not return for the current process; keep the
    // compiler's noreturn promise regardless.
    for (;;) {
    }
#else
    _exit(status);
#endif
}

}  // namespace kelvaro
