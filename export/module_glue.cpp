// Load and unload entry point of the Windows DLL. The library keeps no
// per-process or per-thread state that needs setting up or tearing down, so
// process attach and detach and thread attach and detach all succeed and do
// nothing else.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
