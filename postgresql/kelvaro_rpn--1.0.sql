\echo Use "CREATE EXTENSION kelvaro_rpn" to load this file. \quit

CREATE FUNCTION rpn(formula text) RETURNS double precision
    AS 'MODULE_PATHNAME', 'kelvaro_pg_rpn'
    LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
COMMENT ON FUNCTION rpn(text) IS 'The value of a formula in reverse Polish notation';

CREATE FUNCTION rpn(formula text, VARIADIC inputs double precision[]) RETURNS double precision
    AS 'MODULE_PATHNAME', 'kelvaro_pg_rpn'
    LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
COMMENT ON FUNCTION rpn(text, double precision[]) IS
    'The value of a formula run on a stack that starts as the inputs, the first at the bottom';

CREATE FUNCTION rpn_check(formula text)
    RETURNS TABLE(kind text, "offset" integer, length integer)
    AS 'MODULE_PATHNAME', 'kelvaro_pg_rpn_check'
    LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE ROWS 1;
COMMENT ON FUNCTION rpn_check(text) IS
    'Where a formula probably does not say what it means: the skipped bytes (offset, length) and values left';
