/* The SQL functions: rpn(formula [, VARIADIC inputs]) and rpn_check(formula). */
#include "extension.h"

#include "funcapi.h"
#include "storage/shmem.h"
#include "utils/array.h"
#include "utils/builtins.h"

PG_MODULE_MAGIC;

PG_FUNCTION_INFO_V1(kelvaro_pg_rpn);
PG_FUNCTION_INFO_V1(kelvaro_pg_rpn_check);

/* Both rpn functions: the inputs, when given, are the stack the program starts
   on. A NULL among them makes the value NULL, as a NULL argument does. */
Datum
kelvaro_pg_rpn(PG_FUNCTION_ARGS)
{
    text *formula = PG_GETARG_TEXT_PP(0);
    const char *bytes = VARDATA_ANY(formula);
    int length = VARSIZE_ANY_EXHDR(formula);
    const double *inputs = NULL;
    size_t count = 0;
    const kelvaro_rpn_program *program;
    kelvaro_rpn_outcome outcome;

    if (PG_NARGS() > 1) {
        ArrayType *array = PG_GETARG_ARRAYTYPE_P(1);

        if (array_contains_nulls(array))
            PG_RETURN_NULL();
        /* float8 elements are stored as the doubles themselves, in order; an
           array of several dimensions is taken in that order too. */
        inputs = (const double *) ARR_DATA_PTR(array);
        count = (size_t) ArrayGetNItems(ARR_NDIM(array), ARR_DIMS(array));
    }
    program = kelvaro_pg_program(fcinfo, bytes, length);
    if (kelvaro_rpn_program_run(program, inputs, count, NULL, &outcome) != KELVARO_RPN_OK)
        kelvaro_pg_report_failure(&outcome, bytes, length);
    PG_RETURN_FLOAT8(outcome.value);
}

Datum
kelvaro_pg_rpn_check(PG_FUNCTION_ARGS)
{
    text *formula = PG_GETARG_TEXT_PP(0);
    const char *bytes = VARDATA_ANY(formula);
    int length = VARSIZE_ANY_EXHDR(formula);
    ReturnSetInfo *result = (ReturnSetInfo *) fcinfo->resultinfo;
    kelvaro_rpn_warning *warnings;
    size_t count;
    size_t i;

    kelvaro_pg_verify_encoding(bytes, length);
    InitMaterializedSRF(fcinfo, 0);
    count = kelvaro_rpn_check(bytes, (size_t) length, NULL, 0);
    /* mul_size raises on overflow; palloc on more than it allows. */
    warnings = palloc(mul_size(count > 0 ? count : 1, sizeof *warnings));
    kelvaro_rpn_check(bytes, (size_t) length, warnings, count);
    for (i = 0; i < count; ++i) {
        Datum values[3];
        bool nulls[3] = {false, false, false};

        values[0] = CStringGetTextDatum(kelvaro_rpn_warning_name(warnings[i].kind));
        values[1] = Int32GetDatum((int32) warnings[i].offset);
        values[2] = Int32GetDatum((int32) warnings[i].length);
        tuplestore_putvalues(result->setResult, result->setDesc, values, nulls);
    }
    return (Datum) 0;
}
