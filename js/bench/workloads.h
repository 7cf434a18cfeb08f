/* The texts timed by evaluate_bench.c and bench.mjs (which reads them from
   here): those of benchmarks/workloads.cpp, and the formula run on many values. */
#define KELVARO_BENCH_SHORT "3 4 + 2 *"
#define KELVARO_BENCH_FUNCTIONS "0.5 s 0.25 c * 2 l + 1.5 L - 3 ^ 7 4 % +"
#define KELVARO_BENCH_FORMULA "2 ^ 3 * 1 +"
