#!/usr/bin/python3
"""Times kelvaro_rpn's evaluate and Program.run_many against the C calls they wrap.

Run it with a Python that imports the installed package (the venv's):

    ~/.venvs/kelvaro/bin/python python/benchmarks/measure.py

The C side is compiled here from the same sources with the same flags as the
extension (Python's CFLAGS: -O2 on Debian) and runs on the same million
values. Each figure is the best of 5 rounds of 5 repetitions, the sides taking
turns, in CPU time of the calling thread (a shared machine takes wall-clock
time away): ns per call for evaluate, ns per value for run_many.
"""
import array
import os
import random
import subprocess
import sys
import sysconfig
import tempfile
import time
from pathlib import Path

import kelvaro_rpn

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
TEXTS = {"short": "3 4 + 2 *", "functions": "0.5 s 0.25 c * 2 l + 1.5 L - 3 ^ 7 4 % +"}
FORMULAS = {"f1": "2 ^ 3 * 1 +", "f2": "0.5 * s 2 ^ 1 ] - l"}
COUNT = 1_000_000
ROUNDS = 5


def best_of(repetitions, run):
    best = float("inf")
    for _ in range(repetitions):
        start = time.thread_time_ns()
        run()
        best = min(best, time.thread_time_ns() - start)
    return best


def python_side(values):
    # What the loop and a call of a builtin METH_O function cost by themselves.
    loop, text = range(1_000_000), TEXTS["short"]

    def floor():
        for _ in loop:
            len(text)
    figures = {"len(text), for scale": best_of(5, floor) / len(loop)}
    for name, text in TEXTS.items():
        evaluate, calls = kelvaro_rpn.evaluate, 1_000_000
        loop = range(calls)

        def run():
            for _ in loop:
                evaluate(text)
        figures["evaluate/" + name] = best_of(5, run) / calls
    out = array.array("d", bytes(8 * COUNT))
    for name, text in FORMULAS.items():
        program = kelvaro_rpn.compile(text)
        figures["run_many/" + name] = best_of(5, lambda: program.run_many(values, out)) / COUNT
        figures["run_many/" + name + " (new array)"] = best_of(
            5, lambda: program.run_many(values)) / COUNT
    return figures


def build_c_side(folder):
    cc, cxx = sysconfig.get_config_var("CC"), sysconfig.get_config_var("CXX")
    # The flags the extension is compiled with, so that only the wrapper differs.
    flags = sysconfig.get_config_var("CFLAGS").split() + [sysconfig.get_config_var("CCSHARED")]
    version = kelvaro_rpn.__version__
    generated = Path(folder) / "kelvaro"
    generated.mkdir()
    (generated / "version.h").write_text(
        f'#define KELVARO_RPN_VERSION "{version}"\n', encoding="utf-8")
    includes = ["-I" + folder, "-I" + str(ROOT / "include"), "-I" + str(ROOT)]
    objects = []
    for source in sorted(ROOT.glob("engine/*.cpp")) + sorted(ROOT.glob("reentrant/*.cpp")):
        obj = os.path.join(folder, source.parent.name + "_" + source.stem + ".o")
        subprocess.run([cxx, *flags, "-std=c++17", "-DFMT_HEADER_ONLY", *includes,
                        "-c", str(source), "-o", obj], check=True)
        objects.append(obj)
    program = os.path.join(folder, "c_side")
    subprocess.run([cc, *flags, "-std=c11", "-Wextra", "-Wpedantic", *includes,
                    "-c", str(HERE / "c_side.c"), "-o", program + ".o"], check=True)
    subprocess.run([cxx, program + ".o", *objects, "-o", program, "-lm"], check=True)
    return program


def c_side(program, values_file):
    lines = subprocess.run([program, values_file], check=True, capture_output=True,
                           text=True).stdout.split("\n")
    return {name: float(ns) for name, ns in (line.rsplit(" ", 1) for line in lines if line)}


def best_of_rounds(figures, more):
    return {name: min(ns, more[name]) for name, ns in figures.items()} if figures else more


def main():
    generator = random.Random(20240611)
    values = array.array("d", (generator.uniform(0.5, 10.0) for _ in range(COUNT)))
    with tempfile.TemporaryDirectory() as folder:
        values_file = os.path.join(folder, "values.bin")
        with open(values_file, "wb") as file:
            values.tofile(file)
        program = build_c_side(folder)
        # The two sides take turns, so that a busy spell of a shared machine
        # does not fall on one side only.
        c, py = {}, {}
        for _ in range(ROUNDS):
            c = best_of_rounds(c, c_side(program, values_file))
            py = best_of_rounds(py, python_side(values))
    print(f"kelvaro_rpn {kelvaro_rpn.__version__}, Python {sys.version.split()[0]}")
    print(f"{'':32} {'C':>9} {'Python':>9} {'ratio':>7}")
    for name, ns in py.items():
        base = c.get(name.split(" ")[0])
        if base is None:
            print(f"{name:32} {'':9} {ns:9.2f}")
        else:
            print(f"{name:32} {base:9.2f} {ns:9.2f} {ns / base:6.2f}x")
    print("evaluate: ns per call of a Python for loop (C: a C loop);"
          " run_many: ns per value over 1,000,000 values")


if __name__ == "__main__":
    main()
