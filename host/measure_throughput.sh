#!/usr/bin/env bash
# Times rpn on 300,000 piped lines in plain, -k and -q modes: the median
# wall-clock time of five runs each, with both output streams sent to
# /dev/null. Give one or more rpn binaries to compare them:
#   host/measure_throughput.sh build/default/host/rpn /tmp/old/rpn
set -euo pipefail

lines=${RPN_MEASURE_LINES:-300000}
runs=5
input=$(mktemp)
trap 'rm -f "$input"' EXIT
seq 1 "$lines" | sed 's/$/ 1 +/' >"$input"

median_seconds() {
    local binary=$1 mode=$2 times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s.%N)
        # shellcheck disable=SC2086 # an empty mode is no argument
        cat "$input" | "$binary" $mode >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        times+=("$(echo "$end - $start" | bc)")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

for binary in "${@:-build/default/host/rpn}"; do
    for mode in "" -k -q; do
        printf '%-40s %-6s %8.3f s\n' "$binary" "${mode:-plain}" "$(median_seconds "$binary" "$mode")"
    done
done
