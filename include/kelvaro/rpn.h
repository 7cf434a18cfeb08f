/*
 * kelvaro/rpn.h: reentrant evaluation of arithmetic in reverse Polish notation.
 *
 *   kelvaro_rpn_outcome outcome;
 *   if (kelvaro_rpn_evaluate("3 4 + 2 *", 9, &outcome) == KELVARO_RPN_OK)
 *       use(outcome.value);                                    (14.0)
 *
 * Errors come back as a status and the byte offset where the failing token
 * starts; nothing is printed and the process never ends here. Every function
 * is reentrant and thread-safe: no global state, no locks. Only
 * kelvaro_rpn_calculator_create and kelvaro_rpn_compile allocate.
 *
 * The notation: a token starts at the first byte and after every space or
 * tab, and only its first byte counts. Numbers are [-]digits[.digits]
 * [(e|E)[+|-]digits] ('-' right before a digit is a sign); every command is
 * one byte (kelvaro_rpn_commands lists them). The stack holds 265 values; the
 * top at the end of the text is the value. All `length` bytes of a text are
 * read and none beyond: a NUL byte is an ordinary, invalid byte.
 */
#ifndef KELVARO_RPN_H
#define KELVARO_RPN_H

#include <kelvaro/public.h>
#include <kelvaro/version.h>

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Evaluation ---------------------------------------------------------- */

typedef enum kelvaro_rpn_status {
    KELVARO_RPN_OK = 0,
    KELVARO_RPN_INVALID_CHARACTER = 1,
    KELVARO_RPN_STACK_UNDERFLOW = 2,
    KELVARO_RPN_STACK_OVERFLOW = 3,
    KELVARO_RPN_OUT_OF_MEMORY = 4   /* only kelvaro_rpn_compile returns it */
} kelvaro_rpn_status;

typedef struct kelvaro_rpn_outcome {
    kelvaro_rpn_status status;
    double value;   /* the result when status is KELVARO_RPN_OK */
    size_t offset;  /* otherwise the byte offset where the failing token starts;
                       for an underflow at the end of the text, its length */
} kelvaro_rpn_outcome;

/* Every function that takes an `outcome` also returns its status, and accepts
   a NULL outcome: then only the status is returned. */

/* Evaluates the `length` bytes at `text` (NULL with length 0 is the empty text)
   and returns outcome->status. Writes nothing anywhere. Reentrant: no global
   state, no locks, no allocation. */
KELVARO_RPN_PUBLIC kelvaro_rpn_status kelvaro_rpn_evaluate(const char *text, size_t length,
                                                           kelvaro_rpn_outcome *outcome);

/* ---- Listings ('#' and '@') ---------------------------------------------- */

/* Receives what '#' and '@' show. Either callback may be NULL. */
typedef struct kelvaro_rpn_listing {
    /* Each line as the legacy CalculatorRPN prints it, '\n' included, not
       NUL-terminated: "Top of stack: 3.000000\n"; for '@' an empty line, a
       rule "---------\n", one "%f\n" line per value from the top down, and
       the rule again. */
    void (*line)(void *context, const char *text, size_t length);
    /* The values themselves, before the lines: for '#' (command '#') the top,
       count 1; for '@' the whole stack, values[0] the bottom and
       values[count - 1] the top (count may be 0). Valid during the call. */
    void (*values)(void *context, char command, const double *values, size_t count);
    void *context;  /* handed to both callbacks */
} kelvaro_rpn_listing;

/* kelvaro_rpn_evaluate, reporting each '#' and '@' to `listing` as it runs
   (NULL: nowhere). Returns outcome->status; callbacks already made stand. */
KELVARO_RPN_PUBLIC kelvaro_rpn_status kelvaro_rpn_evaluate_listing(
    const char *text, size_t length, const kelvaro_rpn_listing *listing,
    kelvaro_rpn_outcome *outcome);

/* ---- A calculator that keeps its stack ------------------------------------ */

typedef struct kelvaro_rpn_calculator kelvaro_rpn_calculator;

/* A calculator with an empty stack; NULL when memory runs out. One thread at
   a time per calculator; separate calculators are independent. */
KELVARO_RPN_PUBLIC kelvaro_rpn_calculator *kelvaro_rpn_calculator_create(void);

/* Frees the calculator; NULL is ignored. */
KELVARO_RPN_PUBLIC void kelvaro_rpn_calculator_destroy(kelvaro_rpn_calculator *calculator);

/* Evaluates the text on the calculator's stack, which carries over from the
   previous evaluation, and returns outcome->status. On a failure the stack is
   left exactly as it was before the call. Unlike kelvaro_rpn_evaluate, a text
   that leaves the stack empty succeeds: outcome->value is then NaN and
   kelvaro_rpn_calculator_depth is 0. Never allocates. */
KELVARO_RPN_PUBLIC kelvaro_rpn_status kelvaro_rpn_calculator_evaluate(
    kelvaro_rpn_calculator *calculator, const char *text, size_t length,
    const kelvaro_rpn_listing *listing, kelvaro_rpn_outcome *outcome);

/* How many values the stack holds, 0 to KELVARO_RPN_STACK_CAPACITY. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_calculator_depth(const kelvaro_rpn_calculator *calculator);

/* Copies up to `capacity` values into `values`, values[0] the bottom; returns
   how many the stack holds (which may be more than were copied). */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_calculator_values(const kelvaro_rpn_calculator *calculator,
                                                        double *values, size_t capacity);

/* Empties the stack. Cannot fail. */
KELVARO_RPN_PUBLIC void kelvaro_rpn_calculator_clear(kelvaro_rpn_calculator *calculator);

/* Pushes any double (infinities and NaN too) onto the calculator's stack;
   KELVARO_RPN_STACK_OVERFLOW and the stack unchanged when it is full. */
KELVARO_RPN_PUBLIC kelvaro_rpn_status kelvaro_rpn_calculator_push(kelvaro_rpn_calculator *calculator,
                                                                  double value);

#define KELVARO_RPN_STACK_CAPACITY 265

/* ---- Programs: a text compiled once, run on many inputs ----------------- */

typedef struct kelvaro_rpn_program kelvaro_rpn_program;

/* Compiles the text once. On KELVARO_RPN_OK *program is a new program (free it
   with kelvaro_rpn_program_destroy). A text with an invalid character does not
   compile: KELVARO_RPN_INVALID_CHARACTER at the first one, *program NULL. That
   is kelvaro_rpn_evaluate's status and offset unless the text fails before
   that byte on an empty stack, which a program does not start from ("1 + ?"
   is an invalid character at 4; evaluating it, an underflow at 2). A text
   without one compiles, whatever it does on an empty stack. When
   memory runs out: KELVARO_RPN_OUT_OF_MEMORY at offset 0, *program NULL.
   Allocates only here. Returns outcome->status. */
KELVARO_RPN_PUBLIC kelvaro_rpn_status kelvaro_rpn_compile(const char *text, size_t length,
                                                          kelvaro_rpn_program **program,
                                                          kelvaro_rpn_outcome *outcome);

/* Frees the program; NULL is ignored. */
KELVARO_RPN_PUBLIC void kelvaro_rpn_program_destroy(kelvaro_rpn_program *program);

/* Runs the program on a stack that starts as the `count` values at `inputs`
   (inputs[0] the bottom): the same status, offset and value, bit for bit, as
   evaluating the text with those values pushed first (an empty stack at the end
   is an underflow, as in kelvaro_rpn_evaluate), the same listings. (A NaN may
   differ in its sign: where both operands of + or * are NaN, which one comes
   through is the compiler's operand order, left open by IEEE 754.) More than
   KELVARO_RPN_STACK_CAPACITY inputs: KELVARO_RPN_STACK_OVERFLOW at offset 0.
   Never allocates; a program may run on many threads at once. */
KELVARO_RPN_PUBLIC kelvaro_rpn_status kelvaro_rpn_program_run(const kelvaro_rpn_program *program,
                                                              const double *inputs, size_t count,
                                                              const kelvaro_rpn_listing *listing,
                                                              kelvaro_rpn_outcome *outcome);

/* Runs the program `runs` times, run i on the `count` values at
   inputs + i * count. results[i] is run i's value, NaN where it failed;
   statuses[i] its status when statuses is not NULL. No listings. Returns how
   many runs failed. Never allocates.
   results and statuses may lie anywhere over the inputs (results = inputs,
   inputs + 1, ... at any offset): the values are those of separate buffers,
   as if every input had been read before any result was written. results
   and statuses must not overlap each other. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_program_run_many(const kelvaro_rpn_program *program,
                                                       const double *inputs, size_t count,
                                                       size_t runs, double *results,
                                                       kelvaro_rpn_status *statuses);

/* kelvaro_rpn_program_run_many, allowed to trade the last bits of a value for
   speed: the same arguments, return, statuses and failures (underflow,
   overflow, the NaN of a failed run); a value may differ from the exact run's
   by each command's bound below, in units in the last place (ulp) of the
   exact value. Commands not listed are exact. Never allocates. Buffers may
   overlap as in kelvaro_rpn_program_run_many. A value's result depends on
   that value alone, not on where it falls among the runs.
     b 2 ^ as b * b, 3 ^ as b * b * b: 1 ulp (2 ^) and 2 ulp (3 ^);
     4 ^ as (b * b) squared: 2 ulp; -1 ^ as 1 / b: 1 ulp; 0 ^ and 1 ^: exact.
   On x86-64 with glibc 2.35 or later (libmvec), elsewhere exact:
     s c t S C T l L and ^ with any other exponent: 4 ulp (libmvec's bound;
     measured on 10^6 values each, at most 3). */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_program_run_many_fast(const kelvaro_rpn_program *program,
                                                            const double *inputs, size_t count,
                                                            size_t runs, double *results,
                                                            kelvaro_rpn_status *statuses);

/* The fewest inputs the program runs on without an underflow, the end of the
   text included (it needs one value): every command's stack effect is known
   before it runs ("2 ^ 3 * 1 +" needs 1, "" 1, "x" 2, "1 x x" 2, "+ x" 3).
   A run on that many may still overflow. Cannot fail. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_program_inputs(const kelvaro_rpn_program *program);

/* How many values the program leaves when run on `count` inputs (its value is
   the top one); 0 where that run fails and leaves nothing: fewer than
   kelvaro_rpn_program_inputs, or so many that the run overflows (more than
   KELVARO_RPN_STACK_CAPACITY less the most the program adds). Defined for every
   count. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_program_outputs(const kelvaro_rpn_program *program,
                                                      size_t count);

/* ---- Checking a text ----------------------------------------------------- */

typedef enum kelvaro_rpn_warning_kind {
    KELVARO_RPN_WARNING_COMMAND_TAIL = 1, /* a command's token goes on after its byte: "sqrt", "+5" */
    KELVARO_RPN_WARNING_NUMBER_TAIL = 2,  /* a number's token goes on after the number: "2.5x", "1,234", "4+" */
    KELVARO_RPN_WARNING_VALUES_LEFT = 3   /* the text leaves more than one value on an empty stack: "1 2 3" */
} kelvaro_rpn_warning_kind;

typedef struct kelvaro_rpn_warning {
    kelvaro_rpn_warning_kind kind;
    size_t offset;  /* the first byte that is skipped; for VALUES_LEFT the text's length */
    size_t length;  /* how many bytes are skipped; for VALUES_LEFT how many values are left below the top */
} kelvaro_rpn_warning;

/* Finds where the text probably does not say what it means, in text order.
   Writes up to `capacity` warnings and returns how many there are. A text with
   an invalid character or that fails is still checked up to its end (a text
   that fails leaves no values, so it gets no VALUES_LEFT). A newline inside a
   token is part of its tail ("3\n4 +": the tail "\n4" of the number 3). Never
   allocates. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_check(const char *text, size_t length,
                                            kelvaro_rpn_warning *warnings, size_t capacity);

/* kelvaro_rpn_evaluate_listing and kelvaro_rpn_check in one pass over the
   text: the same outcome and listings, and the warnings kelvaro_rpn_check
   gives (the first `capacity` of them at `warnings`, which may be NULL with
   capacity 0; how many there are in *warning_count). They are all written,
   and *warning_count set, before the first listing callback, so that a host
   can say them first. Returns outcome->status. Never allocates.

     kelvaro_rpn_warning found[8];
     size_t count;
     kelvaro_rpn_evaluate_checked(text, length, NULL, found, 8, &count, &outcome);
     if (count > 8) ... kelvaro_rpn_check with room for count ... */
KELVARO_RPN_PUBLIC kelvaro_rpn_status kelvaro_rpn_evaluate_checked(
    const char *text, size_t length, const kelvaro_rpn_listing *listing,
    kelvaro_rpn_warning *warnings, size_t capacity, size_t *warning_count,
    kelvaro_rpn_outcome *outcome);

/* A constant name for a warning kind: "command tail", "number tail",
   "values left"; "unknown warning" for any other number. Never NULL. */
KELVARO_RPN_PUBLIC const char *kelvaro_rpn_warning_name(kelvaro_rpn_warning_kind kind);

/* ---- Text ---------------------------------------------------------------- */

/* Room for any text the functions below write, NUL included. */
#define KELVARO_RPN_FIXED_SIZE 416
#define KELVARO_RPN_SHORTEST_SIZE 32
#define KELVARO_RPN_MESSAGE_SIZE 32

/* The most digits after the point kelvaro_rpn_format_fixed writes. */
#define KELVARO_RPN_MAX_DECIMALS 99

/* Writes `value` with `decimals` digits after the point (0 to
   KELVARO_RPN_MAX_DECIMALS) as printf's
   "%.*f" in the C locale, whatever the host's locale: decimals 6 is the text
   CalculatorRPN returns. "inf", "-inf" and "nan" (never "-nan"). Like
   snprintf: returns the text's length, writes at most size - 1 characters and
   a NUL (nothing when size is 0); returns 0 and writes "" when decimals is out
   of range. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_format_fixed(double value, int decimals, char *buffer,
                                                   size_t size);

/* decimals for kelvaro_rpn_listing_lines: the shortest text that reads back. */
#define KELVARO_RPN_SHORTEST (-1)

/* The lines a listing's `line` callback gets for '#' (the top,
   values[count - 1]) or '@' (values[0] the bottom, count may be 0), with the
   values at `decimals` as kelvaro_rpn_format_fixed writes them, or as
   kelvaro_rpn_format_shortest for KELVARO_RPN_SHORTEST: decimals 6 gives the
   library's own lines. Each goes to line(context, text, length), '\n'
   included, not NUL-terminated. Nothing for another command, for '#' with
   count 0, or decimals out of range. Never allocates. */
KELVARO_RPN_PUBLIC void kelvaro_rpn_listing_lines(char command, const double *values, size_t count,
                                                  int decimals,
                                                  void (*line)(void *context, const char *text,
                                                               size_t length),
                                                  void *context);

/* Writes the shortest text that reads back as the same double, "%e"-style
   where that is shorter ("1e+22"): 0.1 + 0.2 gives "0.30000000000000004".
   "inf", "-inf", "nan". snprintf-like, as kelvaro_rpn_format_fixed. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_format_shortest(double value, char *buffer, size_t size);

/* Writes the line CalculatorRPN prints for a failed outcome, '\n' included:
   "Invalid character: 'c'\n" with c the byte at outcome->offset in `text`
   (a NUL byte as the two characters \0, "Invalid character: '\0'\n", so that
   the line survives %s; '?' when the offset is not in the text),
   "you have a stack underflow!\n", "you have a stack overflow!\n" or
   "out of memory\n"; "" for KELVARO_RPN_OK, any other number and a NULL
   outcome. `text` and `length` are the evaluated text (only needed for an
   invalid character). snprintf-like, as kelvaro_rpn_format_fixed. */
KELVARO_RPN_PUBLIC size_t kelvaro_rpn_format_message(const kelvaro_rpn_outcome *outcome,
                                                     const char *text, size_t length,
                                                     char *buffer, size_t size);

/* A constant name for a status: "ok", "invalid character", "stack underflow",
   "stack overflow", "out of memory"; "unknown status" for any other number.
   Never NULL. */
KELVARO_RPN_PUBLIC const char *kelvaro_rpn_status_name(kelvaro_rpn_status status);

/* The exit status CalculatorRPN ends the process with after a failure, for a
   program that ends the same way: 0 for KELVARO_RPN_OK; 1 for an invalid
   character, an underflow and any unknown number; -1 for an overflow and for
   out of memory (which the legacy export reports as an overflow). A POSIX
   parent sees -1 as 255. */
KELVARO_RPN_PUBLIC int kelvaro_rpn_exit_status(kelvaro_rpn_status status);

/* ---- The notation and the library ---------------------------------------- */

typedef struct kelvaro_rpn_command {
    char byte;            /* the command: the first byte of its token */
    const char *name;     /* "add" */
    const char *meaning;  /* "b + a": a is the top of the stack, b below it */
    const char *example;  /* "5 3 +"; "" for the separators ' ' and '\n' */
} kelvaro_rpn_command;

/* The notation's commands in the library's order; sets *count. Never NULL;
   the table is constant for the life of the process. */
KELVARO_RPN_PUBLIC const kelvaro_rpn_command *kelvaro_rpn_commands(size_t *count);

/* The version of the library loaded at run time, e.g. "1.2.0.0"; compare with
   KELVARO_RPN_VERSION, the version compiled against. Never NULL. */
KELVARO_RPN_PUBLIC const char *kelvaro_rpn_version(void);

#ifdef __cplusplus
}
#endif

#endif /* KELVARO_RPN_H */
