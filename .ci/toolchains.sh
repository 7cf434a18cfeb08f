#!/usr/bin/env bash
# Other toolchains: clang with libc++ (everything, the whole test suite, with
# GoogleTest built against libc++), and WebAssembly with emscripten (the
# libraries, and the reentrant API's tests under node).
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/apt.sh

timed() {
    local label=$1 start=$SECONDS
    shift
    "$@"
    echo "toolchains: ${label} took $((SECONDS - start)) s"
}

install_packages() {
    ci_install ninja-build cmake make googletest libedit-dev libfast-float-dev libfmt-dev \
        clang libc++-dev libc++abi-dev emscripten nodejs
}
timed "installing the toolchains" install_packages

# The test programs are many small processes: run two at a time.
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-2}

timed "clang-libcxx workflow" cmake --workflow --preset clang-libcxx
# The preset's flags reach every program: nothing may load libstdc++.
check_libcxx_only() {
    local file
    for file in build/clang-libcxx/libKelvaroRPN.so build/clang-libcxx/libKelvaroCalculatorRPN.so \
        build/clang-libcxx/host/rpn build/clang-libcxx/tests/api_tests; do
        if ! objdump -p "$file" | grep -q 'NEEDED *libc++\.so'; then
            echo "toolchains: $file does not need libc++" >&2
            return 1
        fi
        if objdump -p "$file" | grep -q 'NEEDED *libstdc++'; then
            echo "toolchains: $file needs libstdc++" >&2
            return 1
        fi
    done
    echo "toolchains: the libraries, rpn and the tests link libc++ alone"
}
check_libcxx_only

timed "wasm workflow" cmake --workflow --preset wasm
