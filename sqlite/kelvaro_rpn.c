/* The SQLite loadable extension: rpn(formula, inputs...) and rpn_check(formula).
 *
 * SQLite finds the entry point from the file's name: kelvaro_rpn.so gives
 * sqlite3_kelvarorpn_init (the letters after the last '/', up to the first
 * '.', lowercased), so `.load ./kelvaro_rpn` needs no entry point named. */
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include <kelvaro/rpn.h>

#include <string.h>

#if defined(_WIN32)
#define KELVARO_SQLITE_ENTRY __declspec(dllexport)
#else
#define KELVARO_SQLITE_ENTRY __attribute__((visibility("default")))
#endif

/* UTF-8: the lead byte says how long the character is; every byte after it
   is 10xxxxxx. */
enum {
    UTF8_LEAD_OF_TWO = 0xC2,
    UTF8_LEAD_OF_THREE = 0xE0,
    UTF8_LEAD_OF_FOUR = 0xF0,
    UTF8_LAST_LEAD = 0xF4,
    UTF8_FOLLOWER_MASK = 0xC0,
    UTF8_FOLLOWER = 0x80
};

/* The bytes of the UTF-8 character starting at `text`, or 0 when those bytes
   are not one. */
static size_t utf8_character_length(const unsigned char *text, size_t available)
{
    const unsigned char lead = text[0];
    const size_t length = lead > UTF8_LAST_LEAD        ? 0
                        : lead >= UTF8_LEAD_OF_FOUR  ? 4
                        : lead >= UTF8_LEAD_OF_THREE ? 3
                        : lead >= UTF8_LEAD_OF_TWO   ? 2
                                                     : 0;
    size_t i;
    if (length == 0 || length > available) {
        return 0;
    }
    for (i = 1; i < length; ++i) {
        if ((text[i] & UTF8_FOLLOWER_MASK) != UTF8_FOLLOWER) {
            return 0;
        }
    }
    return length;
}

/* The library's message line and the byte offset. Where the failing byte is
   not ASCII, the message shows the whole UTF-8 character it starts, or \xNN
   when it starts none, so that the error is valid text. */
static void report_failure(sqlite3_context *context, const kelvaro_rpn_outcome *outcome,
                           const char *formula, size_t length)
{
    char line[KELVARO_RPN_MESSAGE_SIZE];
    size_t size = kelvaro_rpn_format_message(outcome, formula, length, line, sizeof line);
    const char *byte = NULL;
    char escape[sizeof "\\xFF"];
    const char *shown = escape;
    size_t shown_length = 0;
    char *message;

    if (size >= sizeof line) {
        size = sizeof line - 1;
    }
    if (size > 0 && line[size - 1] == '\n') {
        --size;
    }
    if (outcome->status == KELVARO_RPN_INVALID_CHARACTER && outcome->offset < length &&
        (unsigned char)formula[outcome->offset] >= UTF8_FOLLOWER) {
        byte = memchr(line, formula[outcome->offset], size);
        shown_length = utf8_character_length((const unsigned char *)formula + outcome->offset,
                                             length - outcome->offset);
        if (shown_length > 0) {
            shown = formula + outcome->offset;
        } else {
            sqlite3_snprintf(sizeof escape, escape, "\\x%02X",
                             (unsigned)(unsigned char)formula[outcome->offset]);
            shown_length = strlen(escape);
        }
    }
    if (byte == NULL) {
        message = sqlite3_mprintf("%.*s at byte offset %llu", (int)size, line,
                                  (unsigned long long)outcome->offset);
    } else {
        message = sqlite3_mprintf("%.*s%.*s%.*s at byte offset %llu", (int)(byte - line), line,
                                  (int)shown_length, shown,
                                  (int)(size - (size_t)(byte + 1 - line)), byte + 1,
                                  (unsigned long long)outcome->offset);
    }
    if (message == NULL) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_result_error(context, message, -1);
    sqlite3_free(message);
}

static void destroy_program(void *program)
{
    kelvaro_rpn_program_destroy(program);
}

/* Reads argument `index` as a number into *value; 0 for NULL, -1 (and the
   error set) when it is not a number. */
static int read_input(sqlite3_context *context, sqlite3_value *argument, int index, double *value)
{
    switch (sqlite3_value_numeric_type(argument)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        *value = sqlite3_value_double(argument);
        return 1;
    case SQLITE_NULL:
        return 0;
    default: {
        char *message = sqlite3_mprintf("rpn: input %d is not a number", index);
        if (message == NULL) {
            sqlite3_result_error_nomem(context);
        } else {
            sqlite3_result_error(context, message, -1);
            sqlite3_free(message);
        }
        return -1;
    }
    }
}

/* rpn(formula, inputs...): the inputs are the stack the formula starts on, the
   first at the bottom. NULL for a NULL formula or input. A constant formula is
   compiled once per statement: SQLite keeps its program as auxiliary data. */
static void rpn_function(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    double stack_inputs[KELVARO_RPN_STACK_CAPACITY];
    double *inputs = stack_inputs;
    const char *formula;
    size_t length;
    kelvaro_rpn_program *program;
    kelvaro_rpn_program *compiled = NULL;
    kelvaro_rpn_outcome outcome;
    int i;

    if (argc < 1) {
        sqlite3_result_error(context, "rpn: a formula is needed", -1);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return;
    }
    /* More inputs than the stack holds are the library's overflow to report;
       a build of SQLite that allows that many arguments gets room for them. */
    if (argc - 1 > KELVARO_RPN_STACK_CAPACITY) {
        inputs = sqlite3_malloc64((sqlite3_uint64)(argc - 1) * sizeof *inputs);
        if (inputs == NULL) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    for (i = 1; i < argc; ++i) {
        if (read_input(context, argv[i], i, &inputs[i - 1]) <= 0) {
            goto done; /* NULL, or the error already set */
        }
    }
    formula = (const char *)sqlite3_value_text(argv[0]);
    length = (size_t)sqlite3_value_bytes(argv[0]);
    if (formula == NULL) {
        sqlite3_result_error_nomem(context);
        goto done;
    }
    program = sqlite3_get_auxdata(context, 0);
    if (program == NULL) {
        if (kelvaro_rpn_compile(formula, length, &compiled, &outcome) != KELVARO_RPN_OK) {
            if (outcome.status == KELVARO_RPN_OUT_OF_MEMORY) {
                sqlite3_result_error_nomem(context);
            } else {
                report_failure(context, &outcome, formula, length);
            }
            goto done;
        }
        program = compiled;
    }
    if (kelvaro_rpn_program_run(program, inputs, (size_t)(argc - 1), NULL, &outcome) ==
        KELVARO_RPN_OK) {
        sqlite3_result_double(context, outcome.value);
    } else {
        report_failure(context, &outcome, formula, length);
    }
    if (compiled != NULL) {
        /* Kept for the next row when the formula is constant, freed now otherwise. */
        sqlite3_set_auxdata(context, 0, compiled, destroy_program);
    }
done:
    if (inputs != stack_inputs) {
        sqlite3_free(inputs);
    }
}

/* rpn_check(formula): the warnings as a JSON array of {"kind", "offset",
   "length"}, in text order; json_each() makes rows of them. */
static void rpn_check_function(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    const char *formula;
    size_t length;
    size_t count;
    size_t i;
    kelvaro_rpn_warning *warnings;
    sqlite3_str *json;

    (void)argc;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        return;
    }
    formula = (const char *)sqlite3_value_text(argv[0]);
    length = (size_t)sqlite3_value_bytes(argv[0]);
    if (formula == NULL) {
        sqlite3_result_error_nomem(context);
        return;
    }
    count = kelvaro_rpn_check(formula, length, NULL, 0);
    warnings = sqlite3_malloc64((count > 0 ? count : 1) * sizeof *warnings);
    json = sqlite3_str_new(sqlite3_context_db_handle(context));
    if (warnings == NULL) {
        sqlite3_free(sqlite3_str_finish(json));
        sqlite3_result_error_nomem(context);
        return;
    }
    kelvaro_rpn_check(formula, length, warnings, count);
    sqlite3_str_appendchar(json, 1, '[');
    for (i = 0; i < count; ++i) {
        /* The kind names are plain ASCII words: nothing to escape. */
        sqlite3_str_appendf(json, "%s{\"kind\":\"%s\",\"offset\":%llu,\"length\":%llu}",
                            i > 0 ? "," : "", kelvaro_rpn_warning_name(warnings[i].kind),
                            (unsigned long long)warnings[i].offset,
                            (unsigned long long)warnings[i].length);
    }
    sqlite3_str_appendchar(json, 1, ']');
    sqlite3_free(warnings);
    if (sqlite3_str_errcode(json) != SQLITE_OK) {
        sqlite3_free(sqlite3_str_finish(json));
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_result_text(context, sqlite3_str_finish(json), -1, sqlite3_free);
}

KELVARO_SQLITE_ENTRY int sqlite3_kelvarorpn_init(sqlite3 *db, char **error,
                                                 const sqlite3_api_routines *api)
{
    /* Same formula, same value, and nothing else touched: safe in indexes,
       CHECK constraints, generated columns and views. */
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int status;

    (void)error;
    SQLITE_EXTENSION_INIT2(api);
    status = sqlite3_create_function(db, "rpn", -1, flags, NULL, rpn_function, NULL, NULL);
    if (status == SQLITE_OK) {
        status = sqlite3_create_function(db, "rpn_check", 1, flags, NULL, rpn_check_function,
                                         NULL, NULL);
    }
    return status;
}
