#!/usr/bin/env bash
# Installs the libraries into a temporary prefix and builds small hosts of
# both against the installed tree, shared and static: through each CMake
# package and each pkg-config module. Then builds the Debian packages and a
# tarball with CPack, runs lintian on the packages, unpacks them into a
# scratch root, runs rpn from it and builds the same hosts against it. As
# root, last, installs the packages with dpkg, uses them from /usr, removes
# and purges them, and checks that nothing of them is left behind.
set -euo pipefail
cd "$(dirname "$0")/.."

needs=(cmake ninja-build g++ pkg-config dpkg-dev file lintian libfast-float-dev libfmt-dev)
. .ci/apt.sh
ci_install "${needs[@]}"

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
    "$prefix/include/kelvaro/public.h" \
    "$prefix/include/kelvaro/rpn.h" \
    "$prefix/include/kelvaro/version.h" \
    "$libdir/libKelvaroRPN.so" \
    "$libdir/libKelvaroRPN.so.1" \
    "$libdir/libKelvaroRPN.a" \
    "$libdir/pkgconfig/KelvaroRPN.pc" \
    "$libdir/cmake/KelvaroRPN/KelvaroRPNConfig.cmake" \
    "$libdir/cmake/KelvaroRPN/KelvaroRPNConfigVersion.cmake" \
    "$libdir/libKelvaroCalculatorRPN.so" \
    "$libdir/libKelvaroCalculatorRPN.so.1" \
    "$libdir/libKelvaroCalculatorRPN.so.$version" \
    "$libdir/libKelvaroCalculatorRPN.a" \
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
# A host linked against a shared library names its SONAME; one linked
# statically names no library of this project.
check_needs() {
    local program=$1 soname=$2
    objdump -p "$program" | awk '$1 == "NEEDED" {print $2}' | grep -qxF "$soname" ||
        { echo "$program does not load $soname"; objdump -p "$program" | grep NEEDED; exit 1; }
}
check_static() {
    local program=$1
    if objdump -p "$program" | grep 'NEEDED *libKelvaro'; then
        echo "$program was to be linked statically"
        exit 1
    fi
}
# The consumers of tests/install, built through one CMake package.
build_cmake_consumers() {
    local package=$1 dir=$2
    shift 2
    cmake -S tests/install -B "$dir" -DKELVARO_CONSUMER_PACKAGE="$package" \
        -DCMAKE_C_FLAGS="-Wall -Wextra -Wpedantic -Werror" "$@" >/dev/null
    cmake --build "$dir" >/dev/null
}
check_cmake_consumers() {
    local dir=$1
    check_consumer "$dir/legacy/consumer" "$legacy_expected"
    check_needs "$dir/legacy/consumer" libKelvaroCalculatorRPN.so.1
    check_consumer "$dir/legacy/consumer_static" "$legacy_expected"
    check_static "$dir/legacy/consumer_static"
    check_consumer "$dir/legacy/rpn_consumer" "$rpn_expected"
    check_needs "$dir/legacy/rpn_consumer" libKelvaroRPN.so.1
    check_consumer "$dir/rpn/rpn_consumer" "$rpn_expected"
    check_needs "$dir/rpn/rpn_consumer" libKelvaroRPN.so.1
    check_consumer "$dir/rpn/rpn_consumer_static" "$rpn_expected"
    check_static "$dir/rpn/rpn_consumer_static"
}

echo "== CMake packages: KelvaroCalculatorRPN and KelvaroRPN, shared and static"
build_cmake_consumers KelvaroCalculatorRPN "$work/consumer/legacy" -DCMAKE_PREFIX_PATH="$prefix"
build_cmake_consumers KelvaroRPN "$work/consumer/rpn" -DCMAKE_PREFIX_PATH="$prefix"
check_cmake_consumers "$work/consumer"

echo "== CMake packages refuse another major version"
for package in KelvaroCalculatorRPN KelvaroRPN; do
    if cmake -S tests/install -B "$work/consumer2-$package" -DCMAKE_PREFIX_PATH="$prefix" \
        -DKELVARO_CONSUMER_PACKAGE=$package -DKELVARO_WANTED_VERSION=2.0 >/dev/null 2>&1; then
        echo "find_package($package 2.0) accepted version $version"
        exit 1
    fi
done

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

# pkg-config --static: the flags of a static link, here of a whole program.
pkg_config_static_consumers() {
    local out=$1
    # shellcheck disable=SC2046
    cc -static -Wall -Wextra -Wpedantic -Werror -o "$out/static_c" tests/install/main.c \
        $(pkg-config --static --cflags --libs KelvaroCalculatorRPN)
    # shellcheck disable=SC2046
    cc -static -std=c99 -Wall -Wextra -Wpedantic -Werror -o "$out/rpn_static_c" \
        tests/install/rpn_main.c $(pkg-config --static --cflags --libs KelvaroRPN)
    check_consumer "$out/static_c" "$legacy_expected"
    check_static "$out/static_c"
    check_consumer "$out/rpn_static_c" "$rpn_expected"
    check_static "$out/rpn_static_c"
}
echo "== pkg-config --static"
pkg_config_static_consumers "$work"

echo "== installed rpn finds its library by itself"
"$prefix/bin/rpn" "3 4 +" | grep -qx 'result = 7.000000'
echo "ok: $prefix/bin/rpn"

echo "== Debian packages"
debbuild=$work/deb-build
cmake --preset default -B "$debbuild" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKELVARO_BUILD_TESTS=OFF >/dev/null
cmake --build "$debbuild"
(cd "$debbuild" && cpack -G DEB && cpack -G TGZ)
# The Debian version: the project's and the packaging's revision.
revision=$(sed -n 's/^set(KELVARO_DEB_REVISION \([0-9]*\))$/\1/p' cmake/KelvaroPackaging.cmake)
[ -n "$revision" ] || { echo "no KELVARO_DEB_REVISION in cmake/KelvaroPackaging.cmake"; exit 1; }
debversion=$version-$revision
major=${version%%.*}
packages=("libkelvarocalculatorrpn$major" "libkelvarorpn$major" libkelvarocalculatorrpn-dev kelvaro-rpn)
debs=()
for package in "${packages[@]}"; do
    deb=$(find "$debbuild" -maxdepth 1 -name "${package}_${debversion}_*.deb")
    [ -n "$deb" ] || { echo "no package $package $debversion"; exit 1; }
    debs+=("$deb")
done
[ "$(find "$debbuild" -maxdepth 1 -name '*.deb' | wc -l)" = "${#debs[@]}" ] ||
    { echo "packages other than ${packages[*]}:"; ls "$debbuild"/*.deb; exit 1; }
[ -n "$(find "$debbuild" -maxdepth 1 -name "*-$version-Linux.tar.gz")" ] || { echo "no tarball"; exit 1; }

echo "== lintian"
command -v lintian >/dev/null || { echo "lintian is needed: apt-get install lintian"; exit 1; }
lintian --version
lintian --fail-on error,warning "${debs[@]}"
echo "ok: no error and no warning from lintian"

echo "== package contents"
for deb in "${debs[@]}"; do
    package=$(dpkg-deb -f "$deb" Package)
    control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep . | LC_ALL=C sort | tr '\n' ' ')
    case $package in
    lib*[0-9]) expected="control md5sums shlibs triggers " ;;
    *) expected="control md5sums " ;;
    esac
    # No maintainer scripts: ldconfig runs through the trigger, and a removed
    # package leaves nothing for a purge to do.
    [ "$control" = "$expected" ] || { echo "$package: control files $control, not $expected"; exit 1; }
    case $package in
    lib*[0-9])
        [ "$(dpkg-deb -I "$deb" triggers)" = "activate-noawait ldconfig" ] ||
            { echo "$package: triggers file"; dpkg-deb -I "$deb" triggers; exit 1; } ;;
    esac
    dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/doc/$package/changelog.Debian.gz" |
        gzip -dc >"$work/changelog"
    [ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$debversion" ] ||
        { echo "$package: its changelog is not of version $debversion"; exit 1; }
    dpkg-deb -f "$deb" Description | sed -n 1p >>"$work/synopses"
done
cat "$work/synopses"
[ "$(LC_ALL=C sort -u "$work/synopses" | wc -l)" = "${#debs[@]}" ] ||
    { echo "two packages share a synopsis"; exit 1; }

echo "== Debian packages, unpacked into a scratch root"
root=$work/root
for deb in "${debs[@]}"; do
    package=$(dpkg-deb -f "$deb" Package)
    dpkg-deb -x "$deb" "$root"
    [ -s "$root/usr/share/doc/$package/copyright" ] || { echo "$package has no copyright file"; exit 1; }
    echo "$package: $(dpkg-deb -f "$deb" Depends)"
done
debpc=$(dirname "$(find "$root" -name KelvaroRPN.pc)")
debdir=$(dirname "$debpc")
[ "$(LD_LIBRARY_PATH=$debdir "$root/usr/bin/rpn" '3 4 +')" = "result = 7.000000" ]
echo "ok: rpn from the packages"
build_cmake_consumers KelvaroCalculatorRPN "$work/deb-consumer/legacy" -DCMAKE_PREFIX_PATH="$root/usr"
build_cmake_consumers KelvaroRPN "$work/deb-consumer/rpn" -DCMAKE_PREFIX_PATH="$root/usr"
libdir=$debdir
check_cmake_consumers "$work/deb-consumer"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o "$work/deb_rpn_c" tests/install/rpn_main.c \
    $(PKG_CONFIG_PATH=$debpc PKG_CONFIG_SYSROOT_DIR=$root pkg-config --cflags --libs KelvaroRPN)
# shellcheck disable=SC2046
cc -Wall -Wextra -Wpedantic -Werror -o "$work/deb_legacy_c" tests/install/main.c \
    $(PKG_CONFIG_PATH=$debpc PKG_CONFIG_SYSROOT_DIR=$root pkg-config --cflags --libs KelvaroCalculatorRPN)
check_consumer "$work/deb_rpn_c" "$rpn_expected"
check_consumer "$work/deb_legacy_c" "$legacy_expected"
mkdir "$work/deb-static"
PKG_CONFIG_PATH=$debpc PKG_CONFIG_SYSROOT_DIR=$root pkg_config_static_consumers "$work/deb-static"

if [ "$(id -u)" != 0 ]; then
    echo "== not root: the packages are not installed with dpkg"
    echo "package.sh took ${SECONDS}s"
    exit 0
fi

echo "== Debian packages installed with dpkg, used from /usr, removed and purged"
for package in "${packages[@]}"; do
    if dpkg-query -W "$package" >/dev/null 2>&1; then
        echo "$package is known to dpkg already: purge it first"
        exit 1
    fi
done
# Every path under /usr and /etc and dpkg's own files about packages, and
# the loader's cache.
snapshot() {
    find /usr /etc /var/lib/dpkg/info -xdev | LC_ALL=C sort
    ldconfig -p | LC_ALL=C sort
}
# The cache as the libraries on disk make it: a package installed earlier in
# this run (or one whose trigger is still pending) may have left it behind
# them, and the packages' own trigger would bring it up to date.
ldconfig
snapshot >"$work/before"
trap 'dpkg --purge "${packages[@]}" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
dpkg -i "${debs[@]}"

for soname in libKelvaroRPN.so.1 libKelvaroCalculatorRPN.so.1; do
    ldconfig -p | grep -q "^[[:space:]]*$soname " || { echo "ldconfig did not run: no $soname"; exit 1; }
done
[ "$(/usr/bin/rpn '3 4 + 2 *')" = "result = 14.000000" ] || { echo "/usr/bin/rpn failed"; exit 1; }
echo "ok: /usr/bin/rpn"
libdir=
unset PKG_CONFIG_PATH
build_cmake_consumers KelvaroCalculatorRPN "$work/usr-consumer/legacy"
build_cmake_consumers KelvaroRPN "$work/usr-consumer/rpn"
check_cmake_consumers "$work/usr-consumer"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o "$work/usr_rpn_c" tests/install/rpn_main.c \
    $(pkg-config --cflags --libs KelvaroRPN)
# shellcheck disable=SC2046
cc -Wall -Wextra -Wpedantic -Werror -o "$work/usr_legacy_c" tests/install/main.c \
    $(pkg-config --cflags --libs KelvaroCalculatorRPN)
check_consumer "$work/usr_rpn_c" "$rpn_expected"
check_needs "$work/usr_rpn_c" libKelvaroRPN.so.1
check_consumer "$work/usr_legacy_c" "$legacy_expected"
check_needs "$work/usr_legacy_c" libKelvaroCalculatorRPN.so.1
mkdir "$work/usr-static"
pkg_config_static_consumers "$work/usr-static"

check_left_behind() {
    local after=$1
    for package in "${packages[@]}"; do
        if dpkg-query -W "$package" >/dev/null 2>&1; then
            echo "$package is still known to dpkg after $after:"
            dpkg -l "$package" | tail -n 1
            exit 1
        fi
    done
    if ! snapshot | diff "$work/before" - >"$work/left"; then
        echo "the system differs after $after from before the packages (< before, > after):"
        cat "$work/left"
        exit 1
    fi
    echo "ok: nothing left after $after"
}
dpkg -r "${packages[@]}"
check_left_behind "dpkg -r"
dpkg -P "${packages[@]}"
check_left_behind "dpkg -P"
echo "package.sh took ${SECONDS}s"
