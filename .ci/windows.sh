#!/usr/bin/env bash
# The Windows archive as a user gets it, for each Windows build tree named
# (built already; .ci/cross.sh builds them and runs rpn.exe's host tests):
# `cpack -G ZIP`, the archive's layout, the MSVC import libraries (their
# names, and a program linked through them as Microsoft's linker links), the
# consumers of tests/install built against the unpacked archive with the
# MinGW toolchain through find_package, and those programs and the
# archive's rpn.exe run under wine. Wine's environment (WINEPREFIX, a
# running wineserver) is the caller's, as cross.sh sets it up.
#   .ci/windows.sh windows-x64 [windows-x86]
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n '/^project(/,/)/s/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "windows: no project version in CMakeLists.txt" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

timed() {
    local label=$1 start=$SECONDS
    shift
    "$@"
    echo "windows: ${label} took $((SECONDS - start)) s"
}

# The archive of build/<preset>, unpacked into $work/<preset>; sets $root to
# its top folder.
pack() {
    local preset=$1 archive
    (cd "build/$preset" && cpack -G ZIP >/dev/null)
    archive=$(ls "$PWD/build/$preset/kelvaro-calculator-rpn-$version"-win*.zip)
    mkdir -p "$work/$preset"
    (cd "$work/$preset" && cmake -E tar xf "$archive")
    root=$(ls -d "$work/$preset"/kelvaro-calculator-rpn-*)
    echo "== $(basename "$archive")"
    (cd "$root" && find . -type f | sort)
}

check_layout() {
    local file
    for file in bin/rpn.exe bin/KelvaroRPN.dll bin/KelvaroCalculatorRPN.dll \
        include/kelvaro/rpn.h include/kelvaro/calculator_rpn.h include/kelvaro/version.h \
        lib/libKelvaroRPN.dll.a lib/libKelvaroCalculatorRPN.dll.a \
        lib/KelvaroRPN.lib lib/KelvaroCalculatorRPN.lib \
        lib/cmake/KelvaroRPN/KelvaroRPNConfig.cmake \
        lib/cmake/KelvaroCalculatorRPN/KelvaroCalculatorRPNConfig.cmake \
        LICENSE.txt README.txt; do
        [ -f "$root/$file" ] || { echo "windows: missing from the archive: $file" >&2; return 1; }
    done
}

# Each .lib names every function the DLL exports, under the names MSVC's
# linker asks for: __imp_<name> (x64), __imp__<name> and __imp__CalculatorRPN@4
# (x86).
check_msvc_libraries() {
    local preset=$1 objdump=$2 nm=$3 prefix=$4 dll exports name symbols
    for dll in KelvaroRPN KelvaroCalculatorRPN; do
        exports=$($objdump -p "$root/bin/$dll.dll" |
            sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\t\[ *[0-9]*\] //p')
        symbols=$($nm "$root/lib/$dll.lib")
        [ -n "$exports" ] || { echo "windows: $dll.dll exports nothing" >&2; return 1; }
        for name in $exports; do
            [ "$dll" = KelvaroCalculatorRPN ] && [ "$preset" = windows-x86 ] && name=CalculatorRPN@4
            grep -q " __imp_$prefix$name\$" <<<"$symbols" ||
                { echo "windows: $dll.lib has no __imp_$prefix$name" >&2; return 1; }
        done
    done
}

# Whether this machine runs the preset's programs: cross.sh finds out whether
# it executes 32-bit x86 code at all.
runs_here() {
    [ "$1" != windows-x86 ] || [ -n "${KELVARO_CI_X86_RUNS-1}" ]
}

# tests/install/msvc_link_check.c compiled for the MSVC target and linked by
# lld-link against the archive's .lib files alone (kernel32's one function
# from a .lib written here), then run: both DLLs must answer.
check_msvc_link() {
    local preset=$1 machine=$2 exit_process=$3 dir=$work/msvc-$1 output status
    mkdir -p "$dir"
    printf 'LIBRARY kernel32.dll\nEXPORTS\n%s\n' "$exit_process" >"$dir/kernel32.def"
    llvm-dlltool -m "$machine" -k -d "$dir/kernel32.def" -l "$dir/kernel32.lib"
    clang --target="${triple%%-*}-pc-windows-msvc" -ffreestanding -O1 -Wall -Wextra -Werror \
        -isystem "/usr/$triple/include" -I "$root/include" \
        -c tests/install/msvc_link_check.c -o "$dir/check.obj"
    lld-link /entry:start /subsystem:console /nodefaultlib "$dir/check.obj" \
        "$root/lib/KelvaroRPN.lib" "$root/lib/KelvaroCalculatorRPN.lib" "$dir/kernel32.lib" \
        /out:"$dir/check.exe"
    if ! runs_here "$preset"; then
        echo "windows: a program linked as MSVC links, through the .lib files, links for $preset (not run)"
        return 0
    fi
    output=$(WINEPATH="Z:${root//\//\\}\\bin" "${emulator[@]}" "$dir/check.exe" </dev/null 2>&1) &&
        status=0 || status=$?
    if [ "$status" != 0 ]; then
        printf 'windows: the MSVC-linked check on %s ended with %s:\n%s\n' "$preset" "$status" "$output" >&2
        return 1
    fi
    echo "windows: a program linked as MSVC links, through the .lib files, runs on $preset"
}

# The consumers of tests/install through each package: the DLLs come from
# the archive's bin/, put on wine's search path. The MinGW toolchains look
# for packages under the MinGW root only: the packages' folders are named.
build_consumers() {
    local preset=$1 package dir
    for package in KelvaroCalculatorRPN KelvaroRPN; do
        dir=$work/consumer-$preset-$package
        cmake -S tests/install -B "$dir" -G Ninja --no-warn-unused-cli \
            -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$preset.cmake" \
            -DKELVARO_CONSUMER_PACKAGE=$package \
            -DKelvaroRPN_DIR="$root/lib/cmake/KelvaroRPN" \
            -DKelvaroCalculatorRPN_DIR="$root/lib/cmake/KelvaroCalculatorRPN" \
            -DCMAKE_C_FLAGS="-Wall -Wextra -Wpedantic -Werror" >/dev/null
        cmake --build "$dir" >/dev/null
    done
}
check_consumers() {
    local preset=$1 output expected_legacy expected_rpn
    build_consumers "$preset"
    expected_legacy="result = 14.000000
consumer got 14.000000 from library $version"
    expected_rpn="rpn consumer got 14.000000, then at offset 4: Invalid character: '?'
library $version, header $version"
    run_program() {
        WINEPATH="Z:${root//\//\\}\\bin" "${emulator[@]}" "$@" </dev/null 2>&1 | tr -d '\r'
    }
    for output in \
        "$(run_program "$work/consumer-$preset-KelvaroCalculatorRPN/consumer.exe")|$expected_legacy" \
        "$(run_program "$work/consumer-$preset-KelvaroCalculatorRPN/rpn_consumer.exe")|$expected_rpn" \
        "$(run_program "$work/consumer-$preset-KelvaroRPN/rpn_consumer.exe")|$expected_rpn"; do
        if [ "${output%%|*}" != "${output#*|}" ]; then
            printf 'windows: a consumer on %s printed:\n%s\nnot:\n%s\n' "$preset" "${output%%|*}" "${output#*|}" >&2
            return 1
        fi
    done
    echo "windows: the consumers of both packages run on $preset"
}

# rpn.exe from the archive, beside its DLL: arguments, piped lines with CR LF
# ends, and a failure's message and status.
check_rpn() {
    local preset=$1 output status
    output=$(printf '1 2 +\r\n\r\n3 ?\n' | "${emulator[@]}" "$root/bin/rpn.exe" -k '2 3 *' -f - 2>&1) &&
        status=0 || status=$?
    local expected="result = 6.000000
result = 3.000000
Invalid character: '?'
rpn: -:3:3: invalid character '?'"
    if [ "$output" != "$expected" ] || [ "$status" != 1 ]; then
        printf 'windows: rpn.exe on %s gave status %s and printed:\n%s\n' "$preset" "$status" "$output" >&2
        return 1
    fi
    echo "windows: rpn.exe from the $preset archive runs"
}

for preset in "$@"; do
    case $preset in
    windows-x64)
        emulator=(/usr/lib/wine/wine64) triple=x86_64-w64-mingw32 prefix=
        machine=i386:x86-64 exit_process=ExitProcess
        ;;
    windows-x86)
        emulator=(/usr/lib/wine/wine) triple=i686-w64-mingw32 prefix=_
        machine=i386 exit_process=ExitProcess@4
        ;;
    *) echo "windows: not a Windows preset: $preset" >&2; exit 1 ;;
    esac
    timed "$preset archive" pack "$preset"
    check_layout
    timed "$preset MSVC import libraries" check_msvc_libraries "$preset" "$triple-objdump" "$triple-nm" "$prefix"
    timed "$preset MSVC link" check_msvc_link "$preset" "$machine" "$exit_process"
    if ! runs_here "$preset"; then
        timed "$preset consumers (built only)" build_consumers "$preset"
        continue
    fi
    timed "$preset consumers" check_consumers "$preset"
    timed "$preset rpn.exe" check_rpn "$preset"
done
