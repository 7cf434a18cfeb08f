#!/usr/bin/env bash
# Times rpn on 300,000 piped lines (RPN_MEASURE_LINES to change it) in plain,
# -k, -q and --no-warnings modes, and plain on lines that carry the formula
# '2 *' after their expression: the median
# wall-clock time of five runs each, with both output streams sent to
# /dev/null. Give one or more rpn binaries to compare them:
#   host/measure_throughput.sh build/default/host/rpn /tmp/old/rpn
set -euo pipefail

lines=${RPN_MEASURE_LINES:-300000}
runs=5
input=$(mktemp)
joined=$(mktemp)
trap 'rm -f "$input" "$joined"' EXIT
seq 1 "$lines" | sed 's/$/ 1 +/' >"$input"
seq 1 "$lines" | sed 's/$/ 1 + 2 */' >"$joined"

# A mode is its arguments, one per line, so that a formula keeps its spaces.
median_seconds() {
    local binary=$1 file=$2 mode=$3 times=() arguments=()
    if [[ -n $mode ]]; then
        mapfile -t arguments <<<"$mode"
    fi
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s.%N)
        cat "$file" | "$binary" "${arguments[@]}" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        times+=("$(echo "$end - $start" | bc)")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

report() {
    printf '%-40s %-22s %8.3f s\n' "$1" "$2" "$(median_seconds "$1" "$3" "$4")"
}

for binary in "${@:-build/default/host/rpn}"; do
    for mode in "" -k -q --no-warnings; do
        report "$binary" "${mode:-plain}" "$input" "$mode"
    done
    report "$binary" "plain, 'N 1 + 2 *'" "$joined" ""
done
