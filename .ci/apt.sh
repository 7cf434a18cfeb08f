# Sourced by the CI scripts: installs Debian packages, riding out a mirror
# caught part-way through a sync ("File has unexpected size ... Mirror sync
# in progress?"), which makes apt-get update fail for a few minutes.
export DEBIAN_FRONTEND=noninteractive
apt_options=(-o Acquire::Retries=3 -o DPkg::Lock::Timeout=900)

# Updates the package lists, trying again with longer waits; if the mirror
# never settles, goes on with the lists there are (the install says if they
# will not do).
ci_apt_update() {
    local try
    for try in 1 2 3 4 5; do
        apt-get "${apt_options[@]}" update -qq && return 0
        echo "ci: apt-get update failed (try ${try} of 5)" >&2
        [ "$try" = 5 ] || sleep $((try * 20))
    done
    echo "ci: going on with the package lists as they are" >&2
}

# ci_install PACKAGE...: nothing to do when all are installed. Otherwise
# installs from the lists there are, and when that fails updates them and
# tries again. Not root: names what is missing and leaves it to the build.
ci_install() {
    dpkg -s "$@" >/dev/null 2>&1 && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "ci: not root, cannot install: $*" >&2
        return 0
    fi
    compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null || ci_apt_update
    local try
    for try in 1 2 3; do
        apt-get "${apt_options[@]}" install -y -qq --no-install-recommends "$@" >/dev/null && return 0
        echo "ci: apt-get install failed (try ${try} of 3)" >&2
        [ "$try" = 3 ] || ci_apt_update
    done
    return 1
}
