# 32-bit Windows DLL. Built and inspected only: a 32-bit program cannot run on
# these machines (no i386 support, and a 64-bit-only wine ends it with status 1),
# so there is deliberately no emulator.
set(CMAKE_SYSTEM_PROCESSOR X86)
set(KELVARO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Double arithmetic in SSE2 registers, as on every other target: x87's wider
# registers would round a product or quotient twice.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
