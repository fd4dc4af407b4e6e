#!/usr/bin/env bash
# Runs the picture check's fuzz target, built by the test command into FUZZ_DIR (build/fuzz), over its
# corpus in FUZZ_DIR/corpus: the sound seeds and the spoiled kinds picture_fuzz_corpus wrote, and every
# input the fuzzer has found, kept in tests/fuzz/findings/ as hex (xxd -p).
#   run_fuzzer.sh ci FUZZ_DIR              every kept input once, whole, then a fixed number of runs from
#                                          a fixed seed: what the tests run
#   run_fuzzer.sh long FUZZ_DIR MINUTES    on every core, its corpus kept in FUZZ_DIR/long-corpus; each
#                                          input it finds is written to tests/fuzz/findings/ as hex
#   run_fuzzer.sh coverage FUZZ_DIR        the lines of the check that the kept inputs and the long
#                                          corpus reach
# A crash, a leak, undefined behaviour, an input that takes a second or more, or more memory than the
# limits fails the run.
set -euo pipefail

MODE="$1"
FUZZ_DIR="$(cd "$2" && pwd)"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
FUZZER="$FUZZ_DIR/picture_check_fuzz"
CORPUS="$FUZZ_DIR/corpus"
KEPT=("$CORPUS/seeds" "$CORPUS/kinds" "$CORPUS/findings")

# The check judges any file in milliseconds and holds a few buffers: a second an input, 64 MB a buffer.
LIMITS=(-timeout=1 -rss_limit_mb=1024 -malloc_limit_mb=64 -dict="$HERE/pictures.dict")
# Generated inputs stay small; a kept input is replayed whole first.
MAX_LEN=4096
# About a minute on a machine of 2 cores while the other tests run.
CI_SEED=1
CI_RUNS=6000000

# The lines of libFuzzer's log worth keeping when all went well.
summary() {
    grep -E "INITED|^Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|slowest_unit_time_sec|peak_rss_mb)" "$1" || true
}

failed() { # $1: the log
    tail -n 80 "$1"
    echo "run_fuzzer: failed; the input is under $FUZZ_DIR (crash-*, timeout-*, leak-*, oom-*, slow-unit-*)."
    echo "Once the fault is mended, keep it: xxd -p FILE > $HERE/findings/WHAT-IT-FOUND.hex"
    exit 1
}

# The findings, as bytes again, beside the seeds.
unpack_findings() {
    rm -rf "$CORPUS/findings"
    mkdir -p "$CORPUS/findings"
    local hex
    for hex in "$HERE"/findings/*.hex; do
        [ -f "$hex" ] || continue
        xxd -r -p "$hex" >"$CORPUS/findings/$(basename "$hex" .hex)"
    done
}

ci() {
    local files
    mapfile -t files < <(find "${KEPT[@]}" -type f | sort)
    [ ${#files[@]} -gt 0 ] || { echo "run_fuzzer: no corpus under $CORPUS"; exit 1; }
    echo "run_fuzzer: replaying ${#files[@]} kept inputs whole"
    "$FUZZER" "${LIMITS[@]}" -artifact_prefix="$FUZZ_DIR/" "${files[@]}" >"$FUZZ_DIR/replay.log" 2>&1 ||
        failed "$FUZZ_DIR/replay.log"

    local work="$FUZZ_DIR/work"
    rm -rf "$work"
    mkdir -p "$work"
    echo "run_fuzzer: $CI_RUNS runs from seed $CI_SEED"
    "$FUZZER" "${LIMITS[@]}" -seed="$CI_SEED" -runs="$CI_RUNS" -max_len="$MAX_LEN" -print_final_stats=1 \
        -artifact_prefix="$FUZZ_DIR/" "$work" "${KEPT[@]}" >"$FUZZ_DIR/fuzz.log" 2>&1 ||
        failed "$FUZZ_DIR/fuzz.log"
    summary "$FUZZ_DIR/fuzz.log"
}

long() {
    local minutes="$1"
    local jobs
    jobs="$(nproc)"
    local found="$FUZZ_DIR/long-findings"
    mkdir -p "$FUZZ_DIR/long-corpus" "$found"
    echo "run_fuzzer: $minutes minutes on $jobs cores; log in $FUZZ_DIR/long.log"
    "$FUZZER" "${LIMITS[@]}" -fork="$jobs" -ignore_crashes=1 -max_total_time=$((minutes * 60)) \
        -max_len="$MAX_LEN" -print_final_stats=1 -artifact_prefix="$found/" \
        "$FUZZ_DIR/long-corpus" "${KEPT[@]}" >"$FUZZ_DIR/long.log" 2>&1 || true
    grep -E "INFO: fuzzed for|^#[0-9]+: cov" "$FUZZ_DIR/long.log" | tail -n 3
    local input
    local kept=0
    for input in "$found"/*; do
        [ -f "$input" ] || continue
        local name
        name="$(basename "$input")"
        if [ ! -f "$HERE/findings/$name.hex" ]; then
            xxd -p "$input" >"$HERE/findings/$name.hex"
            echo "run_fuzzer: found $name, kept as tests/fuzz/findings/$name.hex"
            kept=$((kept + 1))
        fi
    done
    echo "run_fuzzer: $kept new findings"
    [ "$kept" -eq 0 ]
}

coverage() {
    local profiles="$FUZZ_DIR/coverage"
    rm -rf "$profiles"
    mkdir -p "$profiles" "$FUZZ_DIR/long-corpus"
    LLVM_PROFILE_FILE="$profiles/run.profraw" "$FUZZ_DIR/picture_check_coverage" -runs=0 \
        "$FUZZ_DIR/long-corpus" "${KEPT[@]}" >"$profiles/run.log" 2>&1
    llvm-profdata-14 merge -o "$profiles/run.profdata" "$profiles/run.profraw"
    local sources
    mapfile -t sources < <(find "$HERE/../../services" -name 'picture_*.cpp' ! -name picture_file.cpp | sort)
    llvm-cov-14 report "$FUZZ_DIR/picture_check_coverage" -instr-profile="$profiles/run.profdata" "${sources[@]}"
}

unpack_findings
case "$MODE" in
ci) ci ;;
long) long "${3:?minutes}" ;;
coverage) coverage ;;
*)
    echo "usage: run_fuzzer.sh ci|long|coverage FUZZ_DIR [MINUTES]"
    exit 2
    ;;
esac
