#!/usr/bin/env bash
# The package's speed in node beside the C call: evaluate_bench.c natively
# (a Release build of libKelvaroRPN in build/npm-bench-native) and under node
# (built with emcc against the npm preset's build), then bench.mjs on the
# package, and formulas.mjs: runMany beside mathjs and expr-eval (from
# js/bench/package-lock.json). Run after `cmake --build --preset npm`. Prints
# figures only.
set -euo pipefail
cd "$(dirname "$0")/../.."

native=build/npm-bench-native
cmake --preset default -B "$native" -DCMAKE_BUILD_TYPE=Release \
    -DKELVARO_BUILD_TESTS=OFF -DKELVARO_BUILD_HOST=OFF >/dev/null
cmake --build "$native" --target KelvaroRPN >/dev/null
cc -O2 -Wall -Wextra -Wpedantic -Werror -Iinclude -I"$native/include" js/bench/evaluate_bench.c \
    -L"$native" -lKelvaroRPN -Wl,-rpath,"$PWD/$native" -o "$native/evaluate_bench"
NODE_PATH=/usr/share/nodejs emcc -O3 -Wall -Wextra -Wpedantic -Werror -Iinclude \
    -Ibuild/npm/include js/bench/evaluate_bench.c build/npm/libKelvaroRPN.a \
    -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 \
    -o build/npm/evaluate_bench.js

echo "C, native ($(cc --version | head -n 1)):"
"$native/evaluate_bench"
echo "C in WebAssembly, under node $(node --version):"
node build/npm/evaluate_bench.js
echo "kelvaro-rpn in node $(node --version):"
node js/bench/bench.mjs
npm ci --prefix js/bench --no-audit --no-fund --silent
node js/bench/formulas.mjs
