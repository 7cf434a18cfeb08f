# 64-bit Windows DLL and programs, run under wine64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KELVARO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Debian installs the 64-bit loader outside PATH. Wine's own diagnostics go to
# the program's standard error, where tests read what the library printed, so
# they are switched off.
find_program(KELVARO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CACHE REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDEBUG=-all ${KELVARO_WINE64})
