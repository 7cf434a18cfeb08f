# WebAssembly with Debian's emscripten; programs run under node.
find_program(KELVARO_NODE NAMES node nodejs NO_CACHE REQUIRED)
# Optimising compiles on node's main thread: in the background one can
# deadlock the end of the process (node 20, .ci/npm.sh says more).
set(CMAKE_CROSSCOMPILING_EMULATOR ${KELVARO_NODE} --no-concurrent-recompilation)

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Programs for node: the module compiled before main runs (emscripten 3.1.6
# would otherwise fetch() the .wasm file, which node refuses for a plain
# path), a heap that grows, and the exit status handed to node at the end.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-sWASM_ASYNC_COMPILATION=0 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1")
