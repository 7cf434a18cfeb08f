#!/usr/bin/env bash
# The SQLite extension: the default preset builds it once sqlite3ext.h is
# there; its tests load it from the sqlite3 shell and from Debian's Python
# (whose sqlite3 module can load extensions).
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/apt.sh
ci_install cmake ninja-build g++ libsqlite3-dev sqlite3 python3 libfast-float-dev libfmt-dev

start=$SECONDS
cmake --preset default >/dev/null
cmake --build --preset default --target kelvaro_sqlite
ctest --preset default -R '^sqlite\.'
echo "sqlite: built and tested in $((SECONDS - start)) s"
