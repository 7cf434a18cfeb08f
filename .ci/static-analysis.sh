#!/usr/bin/env bash
# clang-tidy (.clang-tidy) and cppcheck (.cppcheck-suppressions) over the
# library, the host, the tests and the fuzz targets, through the compile
# commands CMake writes. Any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/apt.sh
ci_install ninja-build cmake g++ make clang clang-tidy cppcheck libgtest-dev libgmock-dev \
    libfast-float-dev libfmt-dev libedit-dev

# Only the compile commands are needed; nothing is built.
cmake --preset default -B build/analysis -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON >/dev/null
cmake --preset fuzz -B build/analysis-fuzz -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

tidy=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
echo "== clang-tidy ($("${tidy/run-/}" --version | grep -o 'version [0-9.]*'))"
uncolor() { sed 's/\x1b\[[0-9;]*m//g'; }
"$tidy" -p build/analysis -quiet | uncolor
"$tidy" -p build/analysis-fuzz -quiet '/fuzz/' | uncolor

echo "== cppcheck ($(cppcheck --version))"
cppcheck_options=(-j "$(nproc)" --enable=warning,style,performance,portability --std=c++17
    --inline-suppr --suppressions-list=.cppcheck-suppressions --error-exitcode=1 -q
    --template='{file}:{line}: {severity}: {message} [{id}]')
# cppcheck reads no system headers: say what glibc's and the compiler's would.
cppcheck "${cppcheck_options[@]}" --library=googletest -D__GLIBC__ -D__linux__ \
    --project=build/analysis/compile_commands.json
cppcheck "${cppcheck_options[@]}" --file-filter='*fuzz/*' \
    --project=build/analysis-fuzz/compile_commands.json
echo "static analysis: clean"
