/* The pieces of the kelvaro_rpn extension: compiled programs and their
 * caches, and failures as SQL errors. */
#ifndef KELVARO_PG_EXTENSION_H
#define KELVARO_PG_EXTENSION_H

#include "postgres.h"

#include "fmgr.h"

#include <kelvaro/rpn.h>

/* The program for `formula` at this call site, compiled at most once per
   backend: kept in fn_extra for the formula a call site sees first, and in a
   small per-backend cache for formulas that change from row to row. A formula
   that does not compile is an SQL error. The program stays valid until the
   next call. */
const kelvaro_rpn_program *kelvaro_pg_program(FunctionCallInfo fcinfo, const char *formula,
                                              int length);

/* A formula's bytes must be valid in the database encoding before the library
   reads them; an SQL error otherwise. */
void kelvaro_pg_verify_encoding(const char *formula, int length);

/* Raises the SQL error for a failed outcome of `formula`. */
pg_attribute_noreturn() void kelvaro_pg_report_failure(const kelvaro_rpn_outcome *outcome,
                                                       const char *formula, int length);

#endif
