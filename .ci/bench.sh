#!/usr/bin/env bash
# Builds the benchmarks and runs each one briefly. This shows that they build
# and that every side agrees before anything is timed (CalculatorRPN, the
# reentrant API and muparser on every workload; compiled programs and the bare
# loop bit for bit on every formula value): the run fails otherwise. Timings
# on a CI machine mean nothing and are never checked.
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/apt.sh
ci_install cmake ninja-build g++ make libbenchmark-dev libmuparser-dev libfast-float-dev libfmt-dev

cmake --preset bench
cmake --build --preset bench
build/bench/benchmarks/kelvaro_benchmarks --benchmark_min_time=0.01
