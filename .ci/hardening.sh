#!/usr/bin/env bash
# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# the thread tests under ThreadSanitizer, then each libFuzzer target: its
# seed corpus, then FUZZ_SECONDS of fuzzing.
# Any sanitizer report, failed check or fuzzer finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_SECONDS=${FUZZ_SECONDS:-30}

. .ci/apt.sh
ci_install ninja-build cmake g++ make clang libclang-rt-14-dev libgtest-dev libgmock-dev \
    libfast-float-dev libfmt-dev

echo "== sanitize: the test suite under ASan and UBSan"
cmake --workflow --preset sanitize

echo "== tsan: the reentrant API from several threads under ThreadSanitizer"
cmake --workflow --preset tsan

echo "== fuzz: build and replay the seed corpus"
cmake --workflow --preset fuzz

# The fuzzers write what they find into a scratch corpus, never into the seeds.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The sanitizers' run-time options are those the seed replay ran with: the
# ones the sanitize and fuzz presets take from the hidden asan-ubsan preset.
for variable in ASAN_OPTIONS UBSAN_OPTIONS; do
    value=$(cmake -DPRESET=asan-ubsan -DVARIABLE=$variable -P .ci/preset_environment.cmake)
    export "$variable=$value"
done
for target in build/fuzz/fuzz/*fuzz; do
    name=$(basename "$target")
    echo "== fuzz: $name for ${FUZZ_SECONDS}s"
    mkdir -p "$work/$name" "$work/artifacts"
    if ! "$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/$name-" \
        "$work/$name" "fuzz/corpus/$name" 2>"$work/$name.log"; then
        tail -n 60 "$work/$name.log"
        for artifact in "$work/artifacts/$name-"*; do
            [ -e "$artifact" ] || continue
            echo "input that failed ($artifact), base64:"
            base64 "$artifact"
        done
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/$name.log" || true
done
