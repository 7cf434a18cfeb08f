# 32-bit Windows DLL and programs, run under 32-bit wine.
set(CMAKE_SYSTEM_PROCESSOR X86)
set(KELVARO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Double arithmetic in SSE2 registers, as on every other target: x87's wider
# registers would round a product or quotient twice.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# The 32-bit loader itself, from Debian's wine32:i386, never the `wine` on
# PATH: that script falls back to wine64 when wine32 is missing, and wine64
# then ends a 32-bit program at once, printing nothing, with status 0 or 1.
# Wine's own diagnostics are switched off, as for windows-x64.
find_program(KELVARO_WINE32 NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH NO_CACHE)
if(NOT KELVARO_WINE32)
    message(FATAL_ERROR "No 32-bit wine loader in /usr/lib/wine: install wine32:i386 "
        "(dpkg --add-architecture i386 && apt-get update && apt-get install wine32:i386)")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDEBUG=-all ${KELVARO_WINE32})
