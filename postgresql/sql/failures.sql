-- A failure as psql shows it: the message line, then where.
SELECT rpn('3 4 + 2 ?');
SELECT rpn('1 é +');
SELECT rpn('1 +');
SELECT rpn('+', 1);

-- Each failure's SQLSTATE, message and detail.
CREATE FUNCTION failure(formula text, VARIADIC inputs float8[] DEFAULT '{}') RETURNS text
LANGUAGE plpgsql AS $$
DECLARE
    state text;
    message text;
    detail text;
BEGIN
    PERFORM rpn(formula, VARIADIC inputs);
    RETURN 'no error';
EXCEPTION WHEN OTHERS THEN
    GET STACKED DIAGNOSTICS state = RETURNED_SQLSTATE, message = MESSAGE_TEXT,
                            detail = PG_EXCEPTION_DETAIL;
    RETURN state || ' | ' || message || ' | ' || detail;
END $$;

SELECT left(formula, 12) AS formula, failure(formula) FROM (VALUES
    ('3 4 + 2 ?'),
    ('?'),
    ('éé 1 x'),
    ('1 € 2'),
    ('12 ab'),
    ('+'),
    ('1 +'),
    ('1 2 + +'),
    (''),
    ('   '),
    ('é'),
    ('2é 3 ?'),
    ('1é +'),
    (repeat('1 ', 266))
) AS t(formula);

-- Too many inputs: the stack holds 265 values.
SELECT failure('+', VARIADIC array_fill(1::float8, ARRAY[265])) AS fits,
       failure('+', VARIADIC array_fill(1::float8, ARRAY[266])) AS too_many;

-- A compiled formula fails at its first invalid byte, whatever an empty stack
-- would meet before it.
SELECT failure('1 + ?', 1) AS after_an_input, failure('1 + ?') AS on_no_input;

-- An error leaves no cached state behind: the same call works after it.
SELECT rpn('1 +');
SELECT rpn('1 +', 1);
