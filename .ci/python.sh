#!/usr/bin/env bash
# The Python package: installed from this checkout as python/README.md says, into
# a venv that sees Debian's packages, then its tests (numpy's included) and
# its type stub. The extension's own C files are built with -Werror here.
# pandas, xarray and Dask (a cluster of worker processes) take Program.ufunc;
# a second build without numpy's headers checks the package works without it.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ python3-dev python3-venv python3-pip python3-setuptools python3-wheel
          python3-pytest python3-numpy mypy libfast-float-dev libfmt-dev
          python3-pandas python3-xarray python3-dask python3-distributed)
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

start=$SECONDS
/usr/bin/python3 -m venv --system-site-packages "$scratch/venv-without-numpy"
KELVARO_WITHOUT_NUMPY=1 KELVARO_WARNINGS_AS_ERRORS=1 \
    "$scratch/venv-without-numpy/bin/pip" install --no-build-isolation --no-index ./python
"$scratch/venv-without-numpy/bin/python" -m pytest -q -p no:cacheprovider \
    python/tests/test_built_without_numpy.py python/tests/test_program.py python/tests/test_run_many.py
echo "python: built without numpy's headers and tested in $((SECONDS - start)) s"
