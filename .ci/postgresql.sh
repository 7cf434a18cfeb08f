#!/usr/bin/env bash
# The PostgreSQL extension: built with PGXS (its own C files with -Werror)
# and installed, its regression tests against a throwaway cluster on a free
# port, then one sum over a table from a parallel plan and from a serial one.
# The cluster and its folder are removed however the script ends.
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/apt.sh
ci_install make g++ postgresql-15 postgresql-server-dev-15 libfast-float-dev libfmt-dev
export PATH=/usr/lib/postgresql/15/bin:$PATH

start=$SECONDS
make -C postgresql -s -j2 KELVARO_WARNINGS_AS_ERRORS=1
make -C postgresql -s install
echo "postgresql: built and installed in $((SECONDS - start)) s"

# The server refuses to run as root: as root the cluster is the postgres user's.
as_owner() {
    if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
scratch=$(mktemp -d)
chmod 755 "$scratch"
[ "$(id -u)" != 0 ] || chown postgres: "$scratch"
cleanup() {
    as_owner pg_ctl -D "$scratch/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT

port=55432
while (echo >"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
as_owner initdb -D "$scratch/data" -U postgres --auth=trust -E UTF8 --no-locale >/dev/null
as_owner pg_ctl -D "$scratch/data" -l "$scratch/server.log" -w \
    -o "-p $port -k $scratch -c listen_addresses=''" start >/dev/null ||
    { cat "$scratch/server.log"; exit 1; }
export PGHOST=$scratch PGPORT=$port PGUSER=postgres
echo "postgresql: cluster on port $port after $((SECONDS - start)) s"

if ! make -C postgresql -s installcheck; then
    cat postgresql/regression.diffs || true
    exit 1
fi

# Sums of integers below 2^53 are exact in any order, so the two plans must agree.
psql -X -q -v ON_ERROR_STOP=1 -d postgres <<'SQL' >"$scratch/parallel.out"
CREATE EXTENSION kelvaro_rpn;
CREATE TABLE points AS SELECT (i % 100000)::float8 AS x FROM generate_series(1, 300000) AS i;
ANALYZE points;
SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
SET max_parallel_workers_per_gather = 2;
\pset tuples_only on
EXPLAIN (ANALYZE, COSTS OFF, TIMING OFF, SUMMARY OFF) SELECT sum(rpn('2 ^ 3 * 1 +', x)) FROM points;
SELECT 'parallel', sum(rpn('2 ^ 3 * 1 +', x)) FROM points;
SET max_parallel_workers_per_gather = 0;
SELECT 'serial', sum(rpn('2 ^ 3 * 1 +', x)) FROM points;
SELECT 'plain', sum(3 * x ^ 2 + 1) FROM points;
SQL
cat "$scratch/parallel.out"
grep -q 'Gather' "$scratch/parallel.out"
grep -Eq 'Workers Launched: [1-9]' "$scratch/parallel.out"
sums=$(awk -F'|' '$1 ~ /^ *(parallel|serial|plain) *$/ {gsub(/ /, "", $2); print $2}' "$scratch/parallel.out")
[ "$(wc -l <<<"$sums")" = 3 ] || { echo "postgresql: expected three sums, got: $sums"; exit 1; }
[ "$(sort -u <<<"$sums" | wc -l)" = 1 ] || { echo "postgresql: the plans' sums differ: $sums"; exit 1; }
echo "postgresql: done in $((SECONDS - start)) s"
