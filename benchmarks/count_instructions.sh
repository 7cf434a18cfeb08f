#!/usr/bin/env bash
# Instructions per call for each side and workload, counted by callgrind.
#
#   benchmarks/count_instructions.sh [BUILD_DIR]
#
# Builds kelvaro_instruction_counts (in build/bench with the bench preset, or
# in BUILD_DIR), runs it under callgrind for N1 and N2 calls of each side (for
# the formulas f1 and f2, N1 and N2 values of x) and
# prints (Ir(N2) - Ir(N1)) / (N2 - N1): the instructions of one call, without
# what the process does once. N1 and N2 (default 1000 and 11000) can be set
# in the environment. Each run gets an empty environment and N written with
# the same number of digits, so that the two runs start with the same stack
# layout and differ only in the number of calls.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
n1=${N1:-1000}
n2=${N2:-11000}
if ! [[ $n1 =~ ^[0-9]+$ && $n2 =~ ^[0-9]+$ ]] || ((n2 <= n1)); then
    echo "N1 and N2 must be numbers with N2 > N1 (got '$n1' and '$n2')" >&2
    exit 2
fi

if (($# > 1)); then
    echo "usage: $0 [BUILD_DIR]" >&2
    exit 2
elif (($# == 1)); then
    build_dir=$(cd "$1" && pwd)
    cmake --build "$build_dir" --target kelvaro_instruction_counts >&2
else
    build_dir=$source_dir/build/bench
    (cd "$source_dir" && cmake --preset bench >&2 &&
        cmake --build --preset bench --target kelvaro_instruction_counts >&2)
fi
program=$build_dir/benchmarks/kelvaro_instruction_counts
if [[ ! -x $program ]]; then
    echo "no $program: configure $build_dir with KELVARO_BUILD_BENCHMARKS=ON" >&2
    exit 1
fi
command -v valgrind >/dev/null || { echo "valgrind not found" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

width=${#n2}
printf -v padded1 '%0*d' "$width" "$n1"
printf -v padded2 '%0*d' "$width" "$n2"

# Ir of one run: callgrind's summary line for the whole process.
count() {
    local side=$1 workload=$2 calls=$3
    local out=$scratch/callgrind.out log=$scratch/valgrind.log
    rm -f "$out" "$log"
    if ! (cd "$scratch" && env -i PATH=/usr/bin:/bin valgrind --tool=callgrind \
        --callgrind-out-file="$out" --log-file="$log" \
        "$program" "$side" "$workload" "$calls" 2>"$scratch/program.err"); then
        echo "failed: $program $side $workload $calls" >&2
        cat "$scratch/program.err" "$log" >&2
        exit 1
    fi
    awk '$1 == "summary:" { print $2; found = 1 } END { exit !found }' "$out"
}

printf '| Side | Workload | Ir(%s) | Ir(%s) | Instructions per call |\n' "$n1" "$n2"
printf '|---|---|---:|---:|---:|\n'
while read -r side workload; do
    ir1=$(count "$side" "$workload" "$padded1")
    ir2=$(count "$side" "$workload" "$padded2")
    per_call=$(awk -v a="$ir1" -v b="$ir2" -v n1="$n1" -v n2="$n2" \
        'BEGIN { printf "%.1f", (b - a) / (n2 - n1) }')
    label=$workload
    [[ $side == calculator ]] && label="depth $workload"
    printf '| %s | %s | %s | %s | %s |\n' "$side" "$label" "$ir1" "$ir2" "$per_call"
done <<'RUNS'
evaluate short
evaluate functions
evaluate long
CalculatorRPN short
CalculatorRPN functions
CalculatorRPN long
calculator 16
calculator 264
bare_loop f1
program_run f1
program_run_many f1
program_run_many_fast f1
bare_loop f2
program_run f2
program_run_many f2
program_run_many_fast f2
RUNS
