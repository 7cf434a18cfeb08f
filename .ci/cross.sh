#!/usr/bin/env bash
# Cross builds: the whole test suite on 32-bit ARM (under qemu-arm) and as a
# 64-bit Windows DLL (under wine64); the 32-bit Windows DLL is built and its
# export table checked, but its programs are never run (they cannot run here,
# and a 64-bit-only wine ends them with status 1, which a fatal-path test
# would take for a pass).
set -euo pipefail
cd "$(dirname "$0")/.."

export DEBIAN_FRONTEND=noninteractive
if ! compgen -G '/var/lib/apt/lists/*_Packages' >/dev/null; then
    apt-get update -qq
fi

timed() {
    local label=$1 start=$SECONDS
    shift
    "$@"
    echo "cross: ${label} took $((SECONDS - start)) s"
}

install_packages() {
    apt-get install -y -qq --no-install-recommends ninja-build \
        cmake make googletest locales \
        g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 \
        wine wine64 g++-arm-linux-gnueabihf qemu-user >/dev/null
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

# windows-x86: built and inspected only. Building the C import library check
# proves that the import library resolves the __stdcall name CalculatorRPN@4.
version=$(sed -n '/^project(/,/)/s/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt)
check_x86_exports() {
    cmake -DLIBRARY=build/windows-x86/bin/KelvaroCalculatorRPN.dll \
        -DOBJDUMP=i686-w64-mingw32-objdump -DWINDRES=i686-w64-mingw32-windres \
        -DMODULE=KelvaroCalculatorRPN "-DEXPECTED=^CalculatorRPN$" -DSINGLE_ORDINAL=ON \
        -DVERSION="$version" -P tests/check_dll_exports.cmake
    cmake -DLIBRARY=build/windows-x86/bin/KelvaroRPN.dll \
        -DOBJDUMP=i686-w64-mingw32-objdump -DWINDRES=i686-w64-mingw32-windres \
        -DMODULE=KelvaroRPN "-DEXPECTED=^kelvaro_rpn_[a-z_]+$" \
        -DVERSION="$version" -P tests/check_dll_exports.cmake
    local headers imports
    headers=$(i686-w64-mingw32-objdump -p build/windows-x86/bin/kelvaro_import_library_check.exe)
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
timed "windows-x86 configure" cmake --preset windows-x86
timed "windows-x86 build" cmake --build --preset windows-x86
timed "windows-x86 export check" check_x86_exports

# windows-x64. wine keeps a test's output pipe open for seconds unless a
# wineserver is already running; one started inside ctest hangs it. So start
# one here with its standard streams closed, and stop it at the end. wineboot
# then starts wine's own services before any test: death tests started while
# those are still coming up have been seen to hang.
export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all
stop_wineserver() {
    wineserver -k >/dev/null 2>&1 || true
}
trap stop_wineserver EXIT
start_wine() {
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1
}
timed "wine prefix" start_wine
timed "windows-x64 configure" cmake --preset windows-x64
timed "windows-x64 build" cmake --build --preset windows-x64
timed "windows-x64 tests" ctest --preset windows-x64
stop_wineserver
