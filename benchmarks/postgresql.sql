-- Timings and memory of the kelvaro_rpn extension, by hand (not in CI):
--   psql -X -f benchmarks/postgresql.sql      (a superuser, CREATE EXTENSION done)
-- Each query three times; compare the medians. The backend's own resident
-- memory is read from /proc/self/status before and after ten million rows.
\set series_rpn 'SELECT sum(rpn(''2 ^ 3 * 1 +'', x::float8)) FROM generate_series(1, 1000000) x;'
\set series_sql 'SELECT sum(3 * x::float8 ^ 2 + 1) FROM generate_series(1, 1000000) x;'
\set series_alone 'SELECT sum(x::float8) FROM generate_series(1, 1000000) x;'
\set table_rpn 'SELECT sum(rpn(''2 ^ 3 * 1 +'', x)) FROM kelvaro_rpn_points;'
\set table_sql 'SELECT sum(3 * x ^ 2 + 1) FROM kelvaro_rpn_points;'
\timing on
SET max_parallel_workers_per_gather = 0;

\echo == rpn against plain SQL on a million values, serial
:series_rpn
:series_sql
:series_rpn
:series_sql
:series_rpn
:series_sql
\echo == the query alone, no formula
:series_alone
:series_alone
:series_alone

\echo == a table of a million rows, serial and with two workers
-- Not a temporary table: only a table of the database can be scanned in parallel.
CREATE TABLE kelvaro_rpn_points AS SELECT x::float8 AS x FROM generate_series(1, 1000000) x;
ANALYZE kelvaro_rpn_points;
\echo serial
:table_rpn
:table_rpn
:table_rpn
:table_sql
:table_sql
:table_sql
SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
SET max_parallel_workers_per_gather = 2;
EXPLAIN (COSTS OFF) :table_rpn
\echo parallel
:table_rpn
:table_rpn
:table_rpn
:table_sql
:table_sql
:table_sql
SET max_parallel_workers_per_gather = 0;
DROP TABLE kelvaro_rpn_points;
\timing off

\echo == backend memory around ten million rows: one formula, then 40 taking turns
-- The private (anonymous) part of the resident memory: shared buffers the
-- query touches are not the backend's own. A plain query of the same size
-- first, so that what it allocates is there before the count starts.
CREATE TEMP VIEW backend_rss AS
    SELECT substring(pg_read_file('/proc/self/status') FROM 'RssAnon:\s*(\d+ kB)') AS rss;
SELECT sum(3 * x::float8 ^ 2 + 1) FROM generate_series(1, 10000000) x;
SELECT 'before' AS "when", rss FROM backend_rss;
SELECT sum(rpn('2 ^ 3 * 1 +', x::float8)) FROM generate_series(1, 10000000) x;
SELECT 'after one formula' AS "when", rss FROM backend_rss;
SELECT sum(rpn((x % 40) || ' +', x::float8)) FROM generate_series(1, 10000000) x;
SELECT 'after 40 formulas' AS "when", rss FROM backend_rss;
SELECT name, total_bytes FROM pg_backend_memory_contexts WHERE name = 'kelvaro_rpn programs';
