#!/usr/bin/python3
"""Program.run_many next to numexpr and numpy on one formula over many values.

Run it with a Python that imports the installed package (the venv's):

    ~/.venvs/kelvaro/bin/python python/benchmarks/arrays.py [count ...]

Each figure is the best of 7 wall-clock timings, the sides taking turns, in
ms for the whole array (counts default to 2,000,000 and 10,000,000); every
side writes into an array made beforehand. Then the fast mode's largest
relative distance from the exact run on each formula.
"""
import os
import sys
import time

import numexpr
import numpy as np

import kelvaro_rpn

# The program, numexpr's text and numpy's expression of each formula.
FORMULAS = {
    "3x^2+1": ("2 ^ 3 * 1 +", "3*x**2+1", lambda x, out: np.add(3 * x * x, 1, out=out)),
    "log(1+sin(0.5x)^2)": ("0.5 * s 2 ^ 1 + l", "log(1+sin(0.5*x)**2)",
                           lambda x, out: np.log(1 + np.sin(0.5 * x) ** 2, out=out)),
}
ACCURACY = ["2 ^ 3 * 1 +", "0.5 * s 2 ^ 1 + l", "L 1 + l", "c 3 ^ t"]
ROUNDS = 7


def sides(text, expression, numpy_side, x, out):
    program = kelvaro_rpn.compile(text)

    def numexpr_side(threads):
        def run():
            numexpr.set_num_threads(threads)
            numexpr.evaluate(expression, local_dict={"x": x}, out=out)
        return run

    return {
        "run_many exact": lambda: program.run_many(x, out, threads=1),
        "run_many fast": lambda: program.run_many(x, out, fast=True, threads=1),
        "run_many fast, 2 threads": lambda: program.run_many(x, out, fast=True, threads=2),
        "numexpr": numexpr_side(1),
        "numexpr, 2 threads": numexpr_side(2),
        "numpy": lambda: numpy_side(x, out),
    }


def timings(runs):
    best = {name: float("inf") for name in runs}
    for _ in range(ROUNDS):
        for name, run in runs.items():
            start = time.perf_counter()
            run()
            best[name] = min(best[name], time.perf_counter() - start)
    return best


def largest_relative_distance(text, x):
    program = kelvaro_rpn.compile(text)
    exact, fast = program.run_many(x), program.run_many(x, fast=True)
    finite = np.isfinite(exact) & (exact != 0)
    same_elsewhere = np.array_equal(exact[~finite], fast[~finite], equal_nan=True)
    return float(np.max(np.abs(fast[finite] - exact[finite]) / np.abs(exact[finite]))), \
        same_elsewhere


def main():
    counts = [int(c) for c in sys.argv[1:]] or [2_000_000, 10_000_000]
    print(f"kelvaro_rpn {kelvaro_rpn.__version__}, numpy {np.__version__}, "
          f"numexpr {numexpr.__version__}, {len(os.sched_getaffinity(0))} cores")
    for count in counts:
        x = np.random.default_rng(20261209).uniform(0.1, 10.0, count)
        out = np.empty_like(x)
        print(f"\n{count:,} values, ms (best of {ROUNDS})")
        table = {name: timings(sides(*formula, x, out)) for name, formula in FORMULAS.items()}
        names = list(FORMULAS)
        print(f"{'':26}" + "".join(f"{n:>22}" for n in names))
        for side in table[names[0]]:
            print(f"{side:26}" + "".join(f"{table[n][side] * 1e3:22.1f}" for n in names))
    x = np.random.default_rng(7).uniform(-20.0, 20.0, 1_000_000)
    print("\nfast against exact, 1,000,000 values in [-20, 20]: largest relative distance")
    for text in ACCURACY:
        distance, same = largest_relative_distance(text, x)
        print(f"  {text:22} {distance:.3g}{'' if same else '  (non-finite values differ)'}")


if __name__ == "__main__":
    main()
