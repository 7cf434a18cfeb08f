/* Compiled programs and where they are kept between calls.
 *
 * The library allocates a program with its own allocator, so each owner frees
 * it explicitly: a call site when its memory context goes away (the end of the
 * query), the per-backend cache when it evicts an entry. Each program is
 * compiled first and its formula copied after, with an allocation that cannot
 * raise, so an error never leaves a program without an owner. */
#include "extension.h"

#include "common/hashfn.h"
#include "utils/memutils.h"

#include <string.h>

/* The formula a call site saw first and its program: with a constant formula,
   every row after the first costs one comparison. */
typedef struct CallSite {
    char *formula;
    int length;
    kelvaro_rpn_program *program;
    MemoryContextCallback release;
} CallSite;

/* Formulas that change from row to row, least recently used out first: a few
   formulas repeated over many rows compile once each per backend. */
#define KELVARO_PG_CACHED_PROGRAMS 16

typedef struct CachedProgram {
    char *formula;
    int length;
    uint32 hash;
    uint64 last_used; /* 0: the entry is empty */
    kelvaro_rpn_program *program;
} CachedProgram;

static CachedProgram cached_programs[KELVARO_PG_CACHED_PROGRAMS];
static uint64 cache_clock;
static MemoryContext cache_context;

static kelvaro_rpn_program *
compile(const char *formula, int length)
{
    kelvaro_rpn_program *program = NULL;
    kelvaro_rpn_outcome outcome;

    kelvaro_pg_verify_encoding(formula, length);
    if (kelvaro_rpn_compile(formula, (size_t) length, &program, &outcome) == KELVARO_RPN_OK)
        return program;
    /* A formula that does not compile has an invalid character, unless memory
       ran out. */
    if (outcome.status != KELVARO_RPN_OUT_OF_MEMORY)
        kelvaro_pg_report_failure(&outcome, formula, length);
    ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY), errmsg("out of memory"),
                    errdetail("Failed while compiling a formula of %d bytes.", length)));
    pg_unreachable();
}

/* A copy of the formula in `context` for `program`, which is freed if there is
   no memory for it. */
static char *
copy_for(kelvaro_rpn_program *program, MemoryContext context, const char *formula, int length)
{
    char *copy = MemoryContextAllocExtended(context, length > 0 ? length : 1, MCXT_ALLOC_NO_OOM);

    if (copy == NULL) {
        kelvaro_rpn_program_destroy(program);
        ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY), errmsg("out of memory")));
    }
    memcpy(copy, formula, length);
    return copy;
}

static void
release_call_site(void *arg)
{
    CallSite *site = arg;

    kelvaro_rpn_program_destroy(site->program);
    site->program = NULL;
}

static CallSite *
call_site(FmgrInfo *flinfo)
{
    CallSite *site = flinfo->fn_extra;

    if (site == NULL) {
        site = MemoryContextAllocZero(flinfo->fn_mcxt, sizeof *site);
        site->release.func = release_call_site;
        site->release.arg = site;
        MemoryContextRegisterResetCallback(flinfo->fn_mcxt, &site->release);
        flinfo->fn_extra = site;
    }
    return site;
}

static const kelvaro_rpn_program *
cached_program(const char *formula, int length)
{
    uint32 hash = hash_bytes((const unsigned char *) formula, length);
    CachedProgram *entry = NULL;
    kelvaro_rpn_program *program;
    int i;

    for (i = 0; i < KELVARO_PG_CACHED_PROGRAMS; ++i) {
        CachedProgram *candidate = &cached_programs[i];

        if (candidate->last_used != 0 && candidate->hash == hash && candidate->length == length &&
            memcmp(candidate->formula, formula, length) == 0) {
            candidate->last_used = ++cache_clock;
            return candidate->program;
        }
        if (entry == NULL || candidate->last_used < entry->last_used)
            entry = candidate;
    }
    if (cache_context == NULL)
        cache_context = AllocSetContextCreate(TopMemoryContext, "kelvaro_rpn programs",
                                              ALLOCSET_SMALL_SIZES);
    if (entry->last_used != 0) {
        kelvaro_rpn_program_destroy(entry->program);
        pfree(entry->formula);
        memset(entry, 0, sizeof *entry);
    }
    program = compile(formula, length);
    entry->formula = copy_for(program, cache_context, formula, length);
    entry->length = length;
    entry->hash = hash;
    entry->program = program;
    entry->last_used = ++cache_clock;
    return program;
}

const kelvaro_rpn_program *
kelvaro_pg_program(FunctionCallInfo fcinfo, const char *formula, int length)
{
    CallSite *site = call_site(fcinfo->flinfo);
    kelvaro_rpn_program *program;

    if (site->program != NULL)
        return site->length == length && memcmp(site->formula, formula, length) == 0
                   ? site->program
                   : cached_program(formula, length);
    program = compile(formula, length);
    site->formula = copy_for(program, fcinfo->flinfo->fn_mcxt, formula, length);
    site->length = length;
    site->program = program;
    return program;
}
