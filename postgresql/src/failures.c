/* Failures as SQL errors: the library's message line, where in the formula,
 * and an SQLSTATE per status. */
#include "extension.h"

#include "lib/stringinfo.h"
#include "mb/pg_wchar.h"

#include <string.h>

/* Class 22 (data exception) has no code for a formula that needs more values
   than it has, so it gets one of the implementation-defined subclasses. */
#define KELVARO_PG_STACK_UNDERFLOW MAKE_SQLSTATE('2', '2', 'K', '0', '1')

static int
sqlstate_of(kelvaro_rpn_status status)
{
    switch (status) {
    case KELVARO_RPN_INVALID_CHARACTER: return ERRCODE_INVALID_PARAMETER_VALUE;
    case KELVARO_RPN_STACK_UNDERFLOW: return KELVARO_PG_STACK_UNDERFLOW;
    case KELVARO_RPN_STACK_OVERFLOW: return ERRCODE_PROGRAM_LIMIT_EXCEEDED;
    case KELVARO_RPN_OUT_OF_MEMORY: return ERRCODE_OUT_OF_MEMORY;
    default: return ERRCODE_INTERNAL_ERROR;
    }
}

void
kelvaro_pg_verify_encoding(const char *formula, int length)
{
    /* noError false: an invalid sequence is reported here, with its bytes. */
    (void) pg_verify_mbstr(GetDatabaseEncoding(), formula, length, false);
}

/* The message line names the failing byte; where that is the first byte of a
   multibyte character, the whole character goes in its place, so the message
   stays valid in the database encoding. */
static void
message_of(const kelvaro_rpn_outcome *outcome, const char *formula, int length,
           StringInfo message)
{
    char line[KELVARO_RPN_MESSAGE_SIZE];
    size_t size = kelvaro_rpn_format_message(outcome, formula, (size_t) length, line, sizeof line);
    const char *byte = NULL;

    if (size >= sizeof line)
        size = sizeof line - 1;
    if (size > 0 && line[size - 1] == '\n')
        --size;
    if (outcome->status == KELVARO_RPN_INVALID_CHARACTER && outcome->offset < (size_t) length &&
        IS_HIGHBIT_SET(formula[outcome->offset]))
        byte = memchr(line, formula[outcome->offset], size);
    if (byte == NULL) {
        appendBinaryStringInfo(message, line, (int) size);
        return;
    }
    appendBinaryStringInfo(message, line, (int) (byte - line));
    appendBinaryStringInfo(message, formula + outcome->offset,
                           pg_encoding_mblen_bounded(GetDatabaseEncoding(),
                                                     formula + outcome->offset));
    appendBinaryStringInfo(message, byte + 1, (int) (size - (byte + 1 - line)));
}

void
kelvaro_pg_report_failure(const kelvaro_rpn_outcome *outcome, const char *formula, int length)
{
    StringInfoData message;
    size_t offset = outcome->offset;
    /* An underflow at the end of the formula is at its length. */
    int before = offset < (size_t) length ? (int) offset : length;

    initStringInfo(&message);
    message_of(outcome, formula, length, &message);
    ereport(ERROR,
            (errcode(sqlstate_of(outcome->status)),
             errmsg_internal("%s", message.data),
             errdetail("At byte offset %zu (character %d) of the formula.", offset,
                       pg_mbstrlen_with_len(formula, before) + 1)));
    pg_unreachable();
}
