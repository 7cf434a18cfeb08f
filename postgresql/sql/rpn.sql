CREATE EXTENSION kelvaro_rpn;

-- Values, inputs pushed first (the first at the bottom), NULLs.
SELECT formula, inputs, rpn(formula, VARIADIC inputs) AS value
FROM (VALUES
    ('3 4 + 2 *', '{}'::float8[]),
    ('2 ^ 3 * 1 +', '{2}'),
    ('-', '{10, 3}'),
    ('/', '{1, 8}'),
    ('1.5e3 -2 *', '{}'),
    ('1 0 /', '{}'),
    ('+', '{1e308, 1e308}'),
    ('+ *', '{2, 3, 4}'),
    ('', '{7}'),
    ('+', '{Infinity, -Infinity}'),
    ('+', '{1, NULL}'),
    (NULL, '{1}')
) AS t(formula, inputs);

-- The forms of the call: no inputs, listed inputs, an explicit array, one of
-- two dimensions taken in storage order.
SELECT rpn('3 4 +') AS no_inputs,
       rpn('-', 10, 3) AS listed,
       rpn('-', VARIADIC ARRAY[10, 3]::float8[]) AS explicit,
       rpn('- -', VARIADIC '{{9, 4}, {2, 1}}'::float8[]) AS two_dimensions,
       rpn('+', 1, 2) IS NULL AS is_null,
       rpn(NULL) IS NULL AS null_formula;

-- As the catalogue declares them.
SELECT p.oid::regprocedure AS function, p.provolatile, p.proisstrict, p.proparallel,
       pg_get_function_result(p.oid) AS result
FROM pg_proc p JOIN pg_depend d ON d.objid = p.oid
JOIN pg_extension e ON e.oid = d.refobjid AND e.extname = 'kelvaro_rpn'
ORDER BY 1::text;
