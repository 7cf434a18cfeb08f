# Sourced by the CI scripts: installs Debian packages, riding out a mirror
# that serves an index out of step with its Release file ("File has
# unexpected size ... Mirror sync in progress?"). That has been seen to last
# for days on the security archive's i386 index, which wine32 needs.
export DEBIAN_FRONTEND=noninteractive
apt_options=(-o Acquire::Retries=3 -o DPkg::Lock::Timeout=900)
ci_lists_updated=

# Updates the package lists, trying again after a wait; if the mirror does
# not settle, goes on with the lists there are (the install says if they
# will not do).
ci_apt_update() {
    local try
    ci_lists_updated=1
    for try in 1 2; do
        apt-get "${apt_options[@]}" update -qq && return 0
        echo "ci: apt-get update failed (try ${try} of 2)" >&2
        [ "$try" = 2 ] || sleep 10
    done
    echo "ci: going on with the package lists as they are" >&2
}

# ci_install PACKAGE...: nothing to do when all are installed. Otherwise
# installs from the lists there are; when that fails, updates them and tries
# again. If that fails too, a list is likely missing (one architecture's
# security index, say), and the native and foreign packages of one library
# must have one version: so the last try takes every package from the main
# archives alone. Not root: names what is missing and leaves it to the build.
ci_install() {
    dpkg -s "$@" >/dev/null 2>&1 && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "ci: not root, cannot install: $*" >&2
        return 0
    fi
    compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null || ci_apt_update
    local install=(apt-get "${apt_options[@]}" install -y -qq --no-install-recommends)
    "${install[@]}" "$@" >/dev/null && return 0
    if [ -z "$ci_lists_updated" ]; then
        echo "ci: apt-get install failed; updating the package lists" >&2
        ci_apt_update
        "${install[@]}" "$@" >/dev/null && return 0
    fi
    echo "ci: apt-get install failed; trying again without the security archive" >&2
    local preferences
    preferences=$(mktemp -d)
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' \
        >"$preferences/main-archives-only.pref"
    local status=0
    "${install[@]}" -o Dir::Etc::PreferencesParts="$preferences" "$@" >/dev/null || status=$?
    rm -rf "$preferences"
    return "$status"
}
