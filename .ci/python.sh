#!/usr/bin/env bash
# The Python package: installed from this checkout as python/README.md says, into
# a venv that sees Debian's packages, then its tests (numpy's included) and
# its type stub. The extension's own C files are built with -Werror here.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ python3-dev python3-venv python3-pip python3-setuptools python3-wheel
          python3-pytest python3-numpy mypy libfast-float-dev libfmt-dev)
. .ci/apt.sh
ci_install "${packages[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
start=$SECONDS
/usr/bin/python3 -m venv --system-site-packages "$scratch/venv"
KELVARO_WARNINGS_AS_ERRORS=1 "$scratch/venv/bin/pip" install --no-build-isolation --no-index ./python
echo "python: built and installed in $((SECONDS - start)) s"

# From the top of the checkout: python/kelvaro_rpn (no extension there) must
# not shadow the installed package.
"$scratch/venv/bin/python" -c 'import numpy, kelvaro_rpn; print("kelvaro_rpn", kelvaro_rpn.__version__, "from", kelvaro_rpn.__file__)'
"$scratch/venv/bin/python" -m pytest -q -p no:cacheprovider python/tests
# The type stub against the module as built: every name, argument and class.
MYPY_CACHE_DIR="$scratch/mypy-cache" "$scratch/venv/bin/python" -m mypy.stubtest kelvaro_rpn
