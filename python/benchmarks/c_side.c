/* The C calls that kelvaro_rpn's Python calls wrap, timed the same way (CPU time
   of the thread, as on the Python side):
   c_side VALUES_FILE prints "name ns" lines, the best of 5 repetitions. */
#define _POSIX_C_SOURCE 199309L  /* clock_gettime */

#include <kelvaro/rpn.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now_ns(void)
{
    struct timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1e9 + (double)t.tv_nsec;
}

static volatile double sink;

static void time_evaluate(const char *name, const char *text, long calls)
{
    const size_t length = strlen(text);
    double best = 1e300;
    for (int repetition = 0; repetition < 5; ++repetition) {
        const double start = now_ns();
        for (long i = 0; i < calls; ++i) {
            kelvaro_rpn_outcome outcome;
            kelvaro_rpn_evaluate(text, length, &outcome);
            sink = outcome.value;
        }
        const double per_call = (now_ns() - start) / (double)calls;
        best = per_call < best ? per_call : best;
    }
    printf("%s %.2f\n", name, best);
}

static int time_run_many(const char *name, const char *text, const double *x, size_t count,
                         double *y)
{
    kelvaro_rpn_program *program = NULL;
    if (kelvaro_rpn_compile(text, strlen(text), &program, NULL) != KELVARO_RPN_OK) {
        return 1;
    }
    double best = 1e300;
    for (int repetition = 0; repetition < 5; ++repetition) {
        const double start = now_ns();
        kelvaro_rpn_program_run_many(program, x, 1, count, y, NULL);
        const double per_value = (now_ns() - start) / (double)count;
        best = per_value < best ? per_value : best;
    }
    kelvaro_rpn_program_destroy(program);
    printf("%s %.2f\n", name, best);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: c_side VALUES_FILE\n");
        return 2;
    }
    FILE *file = fopen(argv[1], "rb");
    if (file == NULL) {
        perror(argv[1]);
        return 2;
    }
    enum { kCount = 1000000 };
    double *x = malloc(kCount * sizeof *x);
    double *y = malloc(kCount * sizeof *y);
    if (x == NULL || y == NULL || fread(x, sizeof *x, kCount, file) != kCount) {
        fprintf(stderr, "c_side: %s does not hold %d doubles\n", argv[1], kCount);
        return 2;
    }
    fclose(file);
    time_evaluate("evaluate/short", "3 4 + 2 *", 2000000);
    time_evaluate("evaluate/functions", "0.5 s 0.25 c * 2 l + 1.5 L - 3 ^ 7 4 % +", 1000000);
    int failed = time_run_many("run_many/f1", "2 ^ 3 * 1 +", x, kCount, y);
    failed |= time_run_many("run_many/f2", "0.5 * s 2 ^ 1 ] - l", x, kCount, y);
    free(x);
    free(y);
    return failed;
}
