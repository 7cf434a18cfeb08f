# Shared part of the MinGW-w64 toolchains: Debian's cross compilers with POSIX
# threads. The including file sets KELVARO_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KELVARO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVARO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVARO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVARO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs carry their C and C++ runtimes and winpthread inside, so they run
# from the build tree without the cross compiler's DLLs on the search path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
