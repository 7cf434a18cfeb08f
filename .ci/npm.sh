#!/usr/bin/env bash
# The npm package kelvaro-rpn: builds it with emscripten (preset npm), packs
# it with npm pack, installs the tarball into a scratch project and runs the
# package's own tests there with node --test (through import and require),
# checks its TypeScript declarations as a user's project sees them, and drives
# the try-it page in Debian's Chromium, headless, with the installed package
# behind it.
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/apt.sh

timed() {
    local label=$1 start=$SECONDS
    shift
    "$@"
    echo "npm: ${label} took $((SECONDS - start)) s"
}

install_packages() {
    ci_install ninja-build cmake make libfast-float-dev libfmt-dev emscripten esbuild nodejs chromium
    # A node from elsewhere brings its own npm; Debian's goes with Debian's node.
    if ! command -v npm >/dev/null; then
        ci_install npm
    fi
}
timed "installing emscripten, esbuild, node, npm and chromium" install_packages

# Debian's emscripten comes with its system libraries built (a frozen cache):
# the first build compiles nothing of emscripten's own.
configure() {
    cmake --preset npm >/dev/null
}
timed "configuring" configure
timed "building the package" cmake --build --preset npm

out=build/npm
rm -f "$out"/js/kelvaro-rpn-*.tgz
tarball=$(cd "$out/js" && npm pack ./package --pack-destination . --silent)
echo "npm: packed $out/js/$tarball ($(stat -c %s "$out/js/$tarball") bytes)"

# The tarball holds the package and nothing else.
expected="LICENSE README.md index.d.cts index.d.ts package.json src/arrays.js src/calculator.js
src/commands.js src/core.mjs src/errors.js src/evaluate.js src/format.js src/index.cjs
src/index.js src/memory.js src/module.js src/program.js src/text.js src/wasm_binary.js
src/wasm_bytes.js test/calculator.test.js test/commands.test.js test/evaluate.test.js
test/format.test.js test/memory.test.js test/package.test.js test/program.test.js
test/programs.js test/require.test.cjs test/run_many.test.js"
packed=$(tar -tzf "$out/js/$tarball" | sed 's|^package/||' | sort)
if [ "$packed" != "$(echo $expected | tr ' ' '\n' | sort)" ]; then
    echo "npm: the tarball holds:" >&2
    echo "$packed" >&2
    exit 1
fi

# A project that installs the tarball, as a user's would.
scratch=$out/scratch
rm -rf "$scratch"
mkdir -p "$scratch"
echo '{ "name": "scratch", "private": true, "type": "module" }' >"$scratch/package.json"
timed "installing the tarball" \
    npm install --prefix "$scratch" --no-audit --no-fund --silent "$out/js/$tarball"
# Node 20 can deadlock as a test file's process ends: its main thread waits
# for the background tasks while a background optimising compile waits for
# the main thread to collect garbage (seen once in format.test.js, after its
# last test passed). Compiling on the main thread leaves nothing to wait for;
# node --test hands the flag to each file's process. A file that still does
# not end fails the run within minutes, not at CI's limit.
node=(timeout 600 node --no-concurrent-recompilation)
# The ES module's tests and the CommonJS entry's (require.test.cjs).
(cd "$scratch" && timed "the package's tests" "${node[@]}" --test node_modules/kelvaro-rpn/test/*.test.js \
    node_modules/kelvaro-rpn/test/*.test.cjs)

# The page test's and the type check's own tools, from js/dev/package-lock.json.
timed "installing playwright-core and typescript" \
    npm ci --prefix js/dev --no-audit --no-fund --silent
cp js/dev/usage.ts js/dev/usage.cts js/dev/tsconfig.json "$scratch/"
timed "the TypeScript declarations" "${node[@]}" js/dev/node_modules/typescript/bin/tsc -p "$scratch"
echo "npm: usage.ts and usage.cts type-check against the installed package"

KELVARO_RPN_PACKAGE=$PWD/$scratch/node_modules/kelvaro-rpn \
    timed "the page in headless Chromium" "${node[@]}" --test js/dev/page.test.js
