#!/usr/bin/env bash
# Installs the libraries into a temporary prefix and builds small hosts of
# both against the installed tree: through the CMake package and through
# pkg-config. Then builds the Debian packages and a tarball with CPack, unpacks
# the packages into a scratch root, runs rpn from it and builds the same hosts
# against it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" = 0 ]; then
    apt-get install -y -qq --no-install-recommends cmake ninja-build g++ pkg-config dpkg-dev \
        libfast-float-dev libfmt-dev >/dev/null
fi

# The version as project() in CMakeLists.txt declares it.
version=$(sed -n '/^project(/,/)/s/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project version in CMakeLists.txt"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --preset default >/dev/null
cmake --build --preset default
cmake --install build/default --prefix "$prefix"

echo "== installed tree"
(cd "$prefix" && find . -mindepth 1 | sort)

pc=$(find "$prefix" -name KelvaroCalculatorRPN.pc)
libdir=$(dirname "$(dirname "$pc")")
for file in \
    "$prefix/include/kelvaro/calculator_rpn.h" \
    "$prefix/include/kelvaro/rpn.h" \
    "$prefix/include/kelvaro/version.h" \
    "$libdir/libKelvaroRPN.so" \
    "$libdir/libKelvaroRPN.so.1" \
    "$libdir/pkgconfig/KelvaroRPN.pc" \
    "$libdir/libKelvaroCalculatorRPN.so" \
    "$libdir/libKelvaroCalculatorRPN.so.1" \
    "$libdir/libKelvaroCalculatorRPN.so.$version" \
    "$libdir/cmake/KelvaroCalculatorRPN/KelvaroCalculatorRPNConfig.cmake" \
    "$libdir/cmake/KelvaroCalculatorRPN/KelvaroCalculatorRPNConfigVersion.cmake" \
    "$prefix/bin/rpn"; do
    [ -e "$file" ] || { echo "missing from the installed tree: $file"; exit 1; }
done
[ "$(readlink "$libdir/libKelvaroCalculatorRPN.so")" = libKelvaroCalculatorRPN.so.1 ]
objdump -p "$libdir/libKelvaroCalculatorRPN.so.1" | grep -q 'SONAME *libKelvaroCalculatorRPN\.so\.1$'
[ "$(readlink "$libdir/libKelvaroRPN.so")" = libKelvaroRPN.so.1 ]
objdump -p "$libdir/libKelvaroRPN.so.1" | grep -q 'SONAME *libKelvaroRPN\.so\.1$'
[ -e "$prefix/share/man/man1/rpn.1.gz" ] || { echo "rpn.1.gz was not installed"; exit 1; }
zcat "$prefix/share/man/man1/rpn.1.gz" | grep -q "^\.TH RPN 1 .*KelvaroCalculatorRPN $version" ||
    { echo "the manual page does not carry version $version"; exit 1; }

legacy_expected=$'result = 14.000000\nconsumer got 14.000000 from library '"$version"
rpn_expected=$'rpn consumer got 14.000000, then at offset 4: Invalid character: \'?\'\nlibrary '"$version, header $version"
check_consumer() {
    local program=$1 expected=$2 output
    output=$(LD_LIBRARY_PATH=$libdir "$program")
    if [ "$output" != "$expected" ]; then
        printf 'unexpected output from %s:\n%s\n' "$program" "$output"
        exit 1
    fi
    echo "ok: $program"
}

echo "== CMake package"
cmake -S tests/install -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_C_FLAGS="-Wall -Wextra -Wpedantic -Werror" >/dev/null
cmake --build "$work/consumer"
check_consumer "$work/consumer/consumer" "$legacy_expected"
check_consumer "$work/consumer/rpn_consumer" "$rpn_expected"

echo "== CMake package refuses another major version"
if cmake -S tests/install -B "$work/consumer2" -DCMAKE_PREFIX_PATH="$prefix" \
    -DKELVARO_WANTED_VERSION=2.0 >/dev/null 2>&1; then
    echo "find_package(KelvaroCalculatorRPN 2.0) accepted version $version"
    exit 1
fi

echo "== pkg-config"
export PKG_CONFIG_PATH=$libdir/pkgconfig
[ "$(pkg-config --modversion KelvaroCalculatorRPN)" = "$version" ]
[ "$(pkg-config --modversion KelvaroRPN)" = "$version" ]
# shellcheck disable=SC2046 # pkg-config's flags are meant to split
cc -Wall -Wextra -Wpedantic -Werror -o "$work/consumer_c" tests/install/main.c \
    $(pkg-config --cflags --libs KelvaroCalculatorRPN)
# shellcheck disable=SC2046
c++ -Wall -Wextra -Wpedantic -Werror -x c++ -o "$work/consumer_cxx" tests/install/main.c \
    $(pkg-config --cflags --libs KelvaroCalculatorRPN)
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o "$work/rpn_consumer_c" tests/install/rpn_main.c \
    $(pkg-config --cflags --libs KelvaroRPN)
# shellcheck disable=SC2046
c++ -Wall -Wextra -Wpedantic -Werror -x c++ -o "$work/rpn_consumer_cxx" tests/install/rpn_main.c \
    $(pkg-config --cflags --libs KelvaroRPN)
check_consumer "$work/consumer_c" "$legacy_expected"
check_consumer "$work/consumer_cxx" "$legacy_expected"
check_consumer "$work/rpn_consumer_c" "$rpn_expected"
check_consumer "$work/rpn_consumer_cxx" "$rpn_expected"

echo "== installed rpn finds its library by itself"
"$prefix/bin/rpn" "3 4 +" | grep -qx 'result = 7.000000'
echo "ok: $prefix/bin/rpn"

echo "== Debian packages, unpacked into a scratch root"
debbuild=$work/deb-build
cmake --preset default -B "$debbuild" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKELVARO_BUILD_TESTS=OFF >/dev/null
cmake --build "$debbuild"
(cd "$debbuild" && cpack -G DEB && cpack -G TGZ)
root=$work/root
major=${version%%.*}
for package in "libkelvarocalculatorrpn$major" "libkelvarorpn$major" libkelvarocalculatorrpn-dev \
    kelvaro-rpn; do
    deb=$(find "$debbuild" -maxdepth 1 -name "${package}_${version}_*.deb")
    [ -n "$deb" ] || { echo "no package $package"; exit 1; }
    dpkg-deb -x "$deb" "$root"
    [ -s "$root/usr/share/doc/$package/copyright" ] || { echo "$package has no copyright file"; exit 1; }
    echo "$package: $(dpkg-deb -f "$deb" Depends)"
done
[ -n "$(find "$debbuild" -maxdepth 1 -name "*-$version-Linux.tar.gz")" ] || { echo "no tarball"; exit 1; }
debpc=$(dirname "$(find "$root" -name KelvaroRPN.pc)")
debdir=$(dirname "$debpc")
[ "$(LD_LIBRARY_PATH=$debdir "$root/usr/bin/rpn" '3 4 +')" = "result = 7.000000" ]
echo "ok: rpn from the packages"
cmake -S tests/install -B "$work/deb-consumer" -DCMAKE_PREFIX_PATH="$root/usr" \
    -DCMAKE_C_FLAGS="-Wall -Wextra -Wpedantic -Werror" >/dev/null
cmake --build "$work/deb-consumer"
libdir=$debdir
check_consumer "$work/deb-consumer/consumer" "$legacy_expected"
check_consumer "$work/deb-consumer/rpn_consumer" "$rpn_expected"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o "$work/deb_rpn_c" tests/install/rpn_main.c \
    $(PKG_CONFIG_PATH=$debpc PKG_CONFIG_SYSROOT_DIR=$root pkg-config --cflags --libs KelvaroRPN)
# shellcheck disable=SC2046
cc -Wall -Wextra -Wpedantic -Werror -o "$work/deb_legacy_c" tests/install/main.c \
    $(PKG_CONFIG_PATH=$debpc PKG_CONFIG_SYSROOT_DIR=$root pkg-config --cflags --libs KelvaroCalculatorRPN)
check_consumer "$work/deb_rpn_c" "$rpn_expected"
check_consumer "$work/deb_legacy_c" "$legacy_expected"
