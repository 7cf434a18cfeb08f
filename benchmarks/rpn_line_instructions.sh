#!/usr/bin/env bash
# Instructions rpn runs per piped line of "N 1 +", counted by callgrind.
#
#   benchmarks/rpn_line_instructions.sh RPN [RPN_OPTION...]
#
# Pipes 1,000 and 11,000 lines (N written with five digits, so every line is
# as long) through RPN, output to /dev/null, and prints
# (Ir(11000) - Ir(1000)) / 10000: one line's instructions, without start-up.
set -euo pipefail

if (($# < 1)); then
    echo "usage: $0 RPN [RPN_OPTION...]" >&2
    exit 2
fi
rpn=$(realpath "$1")
shift
command -v valgrind >/dev/null || { echo "valgrind not found" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

count() {
    seq -f '%05g 1 +' 1 "$1" >"$scratch/lines"
    shift
    if ! (cd "$scratch" && env -i PATH=/usr/bin:/bin valgrind --tool=callgrind \
        --callgrind-out-file="$scratch/out" --log-file="$scratch/log" \
        "$rpn" "$@" <"$scratch/lines" >/dev/null 2>"$scratch/err"); then
        echo "failed: $rpn $*" >&2
        cat "$scratch/err" "$scratch/log" >&2
        exit 1
    fi
    awk '$1 == "summary:" { print $2 }' "$scratch/out"
}

ir1=$(count 1000 "$@")
ir2=$(count 11000 "$@")
echo $(((ir2 - ir1) / 10000))
