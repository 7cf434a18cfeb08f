-- One call site, formulas changing from row to row: more distinct formulas
-- than the per-backend cache holds, each coming back many times.
SELECT count(*) AS rows,
       sum(rpn((i % 37) || ' + *', i, 2)) = sum(i * (2 + i % 37)) AS same_sum
FROM generate_series(1, 5000) AS i;

-- Alternating formulas, and one constant at another call site.
SELECT i, rpn(CASE WHEN i % 2 = 0 THEN '2 *' ELSE '3 +' END, i) AS changing,
       rpn('1 -', i) AS constant
FROM generate_series(1, 6) AS i;

-- A failing formula in a later row, after others were cached.
SELECT rpn(formula, 1) FROM (VALUES ('1 +'), ('2 *'), ('1 ?')) AS t(formula);
SELECT rpn(formula, 1) FROM (VALUES ('1 +'), ('2 *'), ('1 +')) AS t(formula);

-- The cache's own memory context, and nothing of it in the query's.
SELECT name, parent FROM pg_backend_memory_contexts WHERE name = 'kelvaro_rpn programs';
