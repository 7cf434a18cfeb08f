#!/usr/bin/env bash
# Cross builds: the whole test suite on 32-bit ARM (under qemu-arm), as a
# 32-bit Windows DLL (under Debian's 32-bit wine, wine32:i386) and as a 64-bit
# one (under wine64), rpn.exe's host tests with each. The 32-bit DLLs' export
# tables are also read from the files, and the ZIP archives of both Windows
# trees are packed and used.
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/apt.sh
# wine32 is an i386 package: the i386 lists must be there too.
dpkg --add-architecture i386
if ! compgen -G '/var/lib/apt/lists/*_binary-i386_Packages*' >/dev/null; then
    ci_apt_update
fi

timed() {
    local label=$1 start=$SECONDS
    shift
    "$@"
    echo "cross: ${label} took $((SECONDS - start)) s"
}

install_packages() {
    ci_install ninja-build cmake make googletest locales libfast-float-dev libfmt-dev \
        g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 \
        wine wine64 wine32:i386 g++-arm-linux-gnueabihf qemu-user
    # The Windows archives' .lib files (llvm-dlltool), and the check that links
    # through them as Microsoft's linker does (clang for the MSVC target,
    # lld-link).
    ci_install llvm clang lld
    # wine takes the default code page from the locale: ja_JP.UTF-8 gives 932.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        locale-gen >/dev/null
    fi
}
timed "installing the cross toolchains" install_packages

# arm32: unsigned plain char, 32-bit ARM float conversions.
timed "arm32 configure" cmake --preset arm32
timed "arm32 build" cmake --build --preset arm32
timed "arm32 tests" ctest --preset arm32

# wine: one 64-bit prefix, made afresh, serves both Windows builds; wine64
# runs the 64-bit programs in it and Debian's 32-bit loader the 32-bit ones.
# wine keeps a test's output pipe open for seconds unless a wineserver is
# already running; one started inside ctest hangs it. So start one here with
# its standard streams closed, and stop it at the end. wineboot then starts
# wine's own services before any program runs (the builds run the test
# programs to list their tests): death tests started while those are still
# coming up have been seen to hang.
export WINEPREFIX="$PWD/build/wineprefix" WINEARCH=win64 WINEDEBUG=-all
wine32=/usr/lib/wine/wine
stop_wineserver() {
    wineserver -k >/dev/null 2>&1 || true
}
trap stop_wineserver EXIT
start_wine() {
    stop_wineserver
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1
}
timed "wine prefix" start_wine

# windows-x86. Building the C import library check proves that the import
# library resolves the __stdcall name CalculatorRPN@4.
version=$(sed -n '/^project(/,/)/s/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt)
x86=build/windows-x86
check_x86_exports() {
    cmake -DLIBRARY=$x86/bin/KelvaroCalculatorRPN.dll \
        -DOBJDUMP=i686-w64-mingw32-objdump -DWINDRES=i686-w64-mingw32-windres \
        -DMODULE=KelvaroCalculatorRPN "-DEXPECTED=^CalculatorRPN$" -DSINGLE_ORDINAL=ON \
        -DVERSION="$version" -P tests/check_dll_exports.cmake
    cmake -DLIBRARY=$x86/bin/KelvaroRPN.dll \
        -DOBJDUMP=i686-w64-mingw32-objdump -DWINDRES=i686-w64-mingw32-windres \
        -DMODULE=KelvaroRPN "-DEXPECTED=^kelvaro_rpn_[a-z_]+$" \
        -DVERSION="$version" -P tests/check_dll_exports.cmake
    local headers imports
    headers=$(i686-w64-mingw32-objdump -p $x86/bin/kelvaro_import_library_check.exe)
    imports=$(grep -A2 'DLL Name: KelvaroCalculatorRPN.dll' <<<"$headers")
    if ! grep -q ' CalculatorRPN$' <<<"$imports"; then
        echo "cross: windows-x86 C host does not import CalculatorRPN by its plain name" >&2
        return 1
    fi
    imports=$(grep -A2 'DLL Name: KelvaroRPN.dll' <<<"$headers")
    if ! grep -q ' kelvaro_rpn_evaluate$' <<<"$imports"; then
        echo "cross: windows-x86 C host does not import kelvaro_rpn_evaluate by its plain name" >&2
        return 1
    fi
    echo "cross: windows-x86 C host imports from KelvaroCalculatorRPN.dll and KelvaroRPN.dll"
}
# A wine that cannot run 32-bit programs (wine64 without wine32) ends them at
# once, printing nothing, with status 0 or 1. The build would then list no
# tests of any suite and ctest pass what is left. So see the 32-bit C host,
# run as ctest runs it, print what its call of CalculatorRPN prints, and every
# test program have tests listed.
check_wine32() {
    local output program listing missing=0
    if ! output=$(ctest --preset windows-x86 -R '^c_host_links_the_import_library$' -V 2>&1) ||
        ! grep -q '^[0-9]*: result = 14\.000000'$'\r''\?$' <<<"$output"; then
        printf '%s\n' "$output" >&2
        echo "cross: the 32-bit C host did not run under $wine32" >&2
        return 1
    fi
    listing=$(ctest --preset windows-x86 --show-only=json-v1)
    for program in "$x86"/bin/*_tests.exe; do
        if ! grep -q "/${program#"$x86"/}\"" <<<"$listing"; then
            echo "cross: no tests of $program are listed: it did not run under $wine32" >&2
            missing=1
        fi
    done
    if [ "$missing" != 0 ]; then
        return 1
    fi
    echo "cross: 32-bit programs run under $wine32"
}
# Some machines cannot execute 32-bit x86 code at all: a hypervisor without
# the 32-bit compatibility mode refuses every i386 program ("Exec format
# error", status 126), Debian's own loader included. There the windows-x86
# tree is still built and its files checked, its test programs list their
# tests only when run, and nothing of it runs; the windows-x64 tree runs
# everything. Any other failure of wine32 still fails the run.
x86_runs=1
[ -e /lib/ld-linux.so.2 ] || { echo "cross: no 32-bit loader: libc6:i386 is missing" >&2; exit 1; }
x86_status=0
/lib/ld-linux.so.2 --version >/dev/null 2>&1 || x86_status=$?
if [ "$x86_status" = 126 ]; then
    x86_runs=
    echo "cross: NOTE: this machine does not execute 32-bit x86 programs (Exec format error):" \
        "the windows-x86 tree is built and checked, not run" >&2
fi
export KELVARO_CI_X86_RUNS=$x86_runs
if [ -n "$x86_runs" ]; then
    timed "windows-x86 configure" cmake --preset windows-x86
else
    timed "windows-x86 configure" cmake --preset windows-x86 -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
fi
timed "windows-x86 build" cmake --build --preset windows-x86
timed "windows-x86 export check" check_x86_exports
if [ -n "$x86_runs" ]; then
    timed "windows-x86 wine32 check" check_wine32
    timed "windows-x86 tests" ctest --preset windows-x86
fi

# windows-x64.
timed "windows-x64 configure" cmake --preset windows-x64
timed "windows-x64 build" cmake --build --preset windows-x64
timed "windows-x64 tests" ctest --preset windows-x64

# The ZIP archives of both trees, unpacked and used (see .ci/windows.sh).
timed "Windows archives" bash .ci/windows.sh windows-x86 windows-x64
stop_wineserver
