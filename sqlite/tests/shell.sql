.load ./kelvaro_rpn
.bail off
.mode list
.nullvalue NULL
-- Values: inputs pushed first, the first at the bottom; NULLs give NULL.
SELECT rpn('3 4 + 2 *'), rpn('2 ^ 3 * 1 +', 2), rpn('-', 10, 3), rpn('/', 1, 8);
SELECT rpn('+ *', 2, 3, 4), rpn('', 7), rpn('1 0 /'), rpn('+', '2.5', 1);
SELECT rpn(NULL), rpn('+', 1, NULL), rpn('1 +', NULL);
-- A column of formulas, each row its own.
CREATE TABLE items(formula TEXT, price REAL);
INSERT INTO items VALUES ('1.2 *', 10), ('2 /', 9), ('0.5 -', 3), ('1.2 *', 20);
SELECT formula, rpn(formula, price) FROM items ORDER BY rowid;
-- Deterministic: allowed where SQLite needs that, as in an index on an expression.
CREATE INDEX items_taxed ON items(rpn('1.2 *', price));
SELECT count(*) FROM items WHERE rpn('1.2 *', price) > 15;
-- rpn_check as JSON, and as rows through json_each.
SELECT rpn_check('2 sqrt'), rpn_check('3 4 +'), rpn_check(NULL);
SELECT json_extract(value, '$.kind'), json_extract(value, '$.offset'), json_extract(value, '$.length')
FROM json_each(rpn_check('2.5x 1,234 + 7'));
-- Failures: the library's message and the byte offset.
SELECT rpn('3 4 + 2 ?');
SELECT rpn('1 é +');
SELECT rpn('1 +');
SELECT rpn('+', 1);
SELECT rpn('1 +', 'one');
SELECT rpn();
SELECT formula, rpn(formula, 1) FROM (SELECT '1 +' AS formula UNION ALL SELECT '1 ?');
