/* The C side of the JavaScript timings: kelvaro_rpn_evaluate per call and
   kelvaro_rpn_program_run_many per value, on the texts of workloads.h and
   the long text of benchmarks/. Built natively it is the C call; built with
   emcc and run under node it is the WebAssembly call without JavaScript. */
#include "workloads.h"

#include <kelvaro/rpn.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* Where the values go, so that no evaluation is left out. */
static volatile double sink;

static double Seconds(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
}

/* Best of five rounds of `calls` evaluations, in ns per call. */
static double TimeEvaluate(const char *text, long calls)
{
    const size_t length = strlen(text);
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const double start = Seconds();
        for (long i = 0; i < calls; ++i) {
            kelvaro_rpn_outcome outcome;
            kelvaro_rpn_evaluate(text, length, &outcome);
            sink += outcome.value;
        }
        const double elapsed = (Seconds() - start) * 1e9 / (double)calls;
        best = elapsed < best ? elapsed : best;
    }
    return best;
}

static double TimeRunMany(size_t runs)
{
    kelvaro_rpn_program *program = NULL;
    kelvaro_rpn_compile(KELVARO_BENCH_FORMULA, strlen(KELVARO_BENCH_FORMULA), &program, NULL);
    double *inputs = malloc(runs * sizeof *inputs);
    double *results = malloc(runs * sizeof *results);
    for (size_t i = 0; i < runs; ++i) {
        inputs[i] = (double)i * 0.001;
    }
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const double start = Seconds();
        kelvaro_rpn_program_run_many(program, inputs, 1, runs, results, NULL);
        const double elapsed = (Seconds() - start) * 1e9 / (double)runs;
        best = elapsed < best ? elapsed : best;
    }
    free(inputs);
    free(results);
    kelvaro_rpn_program_destroy(program);
    return best;
}

int main(void)
{
    char long_text[512] = "1.5";
    for (int i = 1; i < 63; ++i) {
        char step[8];
        snprintf(step, sizeof step, " %c.5 %c", '1' + i % 9, i % 2 == 1 ? '*' : '+');
        strcat(long_text, step);
    }
    printf("evaluate short      %8.1f ns/call\n", TimeEvaluate(KELVARO_BENCH_SHORT, 2000000));
    printf("evaluate functions  %8.1f ns/call\n", TimeEvaluate(KELVARO_BENCH_FUNCTIONS, 500000));
    printf("evaluate long       %8.1f ns/call\n", TimeEvaluate(long_text, 200000));
    printf("run_many formula    %8.2f ns/value\n", TimeRunMany(1000000));
    return 0;
}
