#!/usr/bin/env bash
# Runs one of the picture fuzz targets, built by the test command into FUZZ_DIR (build/fuzz), over its
# corpus: the sound seeds and the spoiled kinds picture_fuzz_corpus wrote into FUZZ_DIR/corpus, and every
# input the fuzzers have found, kept in tests/fuzz/findings/ as hex (xxd -p).
#   TARGET check     the picture check on any bytes (picture_check_fuzz)
#   TARGET decode    every JPEG the check accepts decoded by the system's libjpeg (jpeg_decode_fuzz),
#                    from the JPEGs among the seeds, the kinds and the findings
#   run_fuzzer.sh ci TARGET FUZZ_DIR              every kept input once, whole, then a fixed number of
#                                                 runs from a fixed seed: what the tests run
#   run_fuzzer.sh long TARGET FUZZ_DIR MINUTES    on every core, its corpus kept in FUZZ_DIR/long-TARGET;
#                                                 each input it finds is written to tests/fuzz/findings/
#   run_fuzzer.sh coverage TARGET FUZZ_DIR        the lines of the check that the kept inputs and the
#                                                 long corpus reach
# A crash, a leak, undefined behaviour, an input over the time limit, or more memory than the limits
# fails the run.
set -euo pipefail

usage() {
    echo "usage: run_fuzzer.sh ci|long|coverage check|decode FUZZ_DIR [MINUTES]"
    exit 2
}

[ $# -ge 3 ] || usage
MODE="$1"
TARGET="$2"
FUZZ_DIR="$(cd "$3" && pwd)"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
CORPUS="$FUZZ_DIR/corpus"
# Generated inputs stay small; a kept input is replayed whole first.
MAX_LEN=4096
CI_SEED=1

case "$TARGET" in
check)
    FUZZER="$FUZZ_DIR/picture_check_fuzz"
    # The check judges any file in milliseconds and holds a few buffers: a second an input, 64 MB a buffer.
    LIMITS=(-timeout=1 -rss_limit_mb=1024 -malloc_limit_mb=64)
    # Some 10 s alone on 2 cores, more beside the other tests.
    CI_RUNS=3000000
    ;;
decode)
    FUZZER="$FUZZ_DIR/jpeg_decode_fuzz"
    # The target stops itself on a decode over its limit; the timeout only catches a hang. A progressive
    # picture of 4096 x 4096 in colour holds some 100 MB of coefficients.
    LIMITS=(-timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=256)
    # Some 50 s alone on 2 cores.
    CI_RUNS=30000
    ;;
*) usage ;;
esac
LIMITS+=(-dict="$HERE/pictures.dict")

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

# Whether the target takes an input: the check every one, the decoder only JPEGs.
takes() {
    [ "$TARGET" = check ] || [ "$(head -c 2 "$1" | xxd -p)" = ffd8 ]
}

# The kept inputs the target takes: the seeds and the kinds, folders that must each hold some, since
# without them the replay would prove nothing, and the findings as bytes again, of which there may be
# none. Each target has a folder of its own, since both run at once.
prepare_kept() {
    local kept="$FUZZ_DIR/kept-$TARGET"
    rm -rf "$kept"
    mkdir -p "$kept/seeds" "$kept/kinds" "$kept/findings"
    local folder file
    for folder in seeds kinds; do
        if [ -z "$(ls -A "$CORPUS/$folder" 2>/dev/null)" ]; then
            echo "run_fuzzer: no inputs in $CORPUS/$folder"
            exit 1
        fi
        for file in "$CORPUS/$folder"/*; do
            if takes "$file"; then
                cp "$file" "$kept/$folder/"
            fi
        done
    done
    for file in "$HERE"/findings/*.hex; do
        [ -f "$file" ] || continue
        local input
        input="$kept/findings/$(basename "$file" .hex)"
        xxd -r -p "$file" >"$input"
        takes "$input" || rm "$input"
    done
    KEPT=("$kept/seeds" "$kept/kinds" "$kept/findings")
}

ci() {
    local files
    mapfile -t files < <(find "${KEPT[@]}" -type f | sort)
    echo "run_fuzzer: $TARGET: replaying ${#files[@]} kept inputs whole"
    "$FUZZER" "${LIMITS[@]}" -artifact_prefix="$FUZZ_DIR/" "${files[@]}" >"$FUZZ_DIR/replay-$TARGET.log" 2>&1 ||
        failed "$FUZZ_DIR/replay-$TARGET.log"

    local work="$FUZZ_DIR/work-$TARGET"
    rm -rf "$work"
    mkdir -p "$work"
    echo "run_fuzzer: $TARGET: $CI_RUNS runs from seed $CI_SEED"
    "$FUZZER" "${LIMITS[@]}" -seed="$CI_SEED" -runs="$CI_RUNS" -max_len="$MAX_LEN" -print_final_stats=1 \
        -artifact_prefix="$FUZZ_DIR/" "$work" "${KEPT[@]}" >"$FUZZ_DIR/fuzz-$TARGET.log" 2>&1 ||
        failed "$FUZZ_DIR/fuzz-$TARGET.log"
    summary "$FUZZ_DIR/fuzz-$TARGET.log"
}

long() {
    local minutes="$1"
    local jobs
    jobs="$(nproc)"
    local found="$FUZZ_DIR/long-$TARGET-findings"
    mkdir -p "$FUZZ_DIR/long-$TARGET" "$found"
    echo "run_fuzzer: $TARGET: $minutes minutes on $jobs cores; log in $FUZZ_DIR/long-$TARGET.log"
    "$FUZZER" "${LIMITS[@]}" -fork="$jobs" -ignore_crashes=1 -max_total_time=$((minutes * 60)) \
        -max_len="$MAX_LEN" -print_final_stats=1 -artifact_prefix="$found/" \
        "$FUZZ_DIR/long-$TARGET" "${KEPT[@]}" >"$FUZZ_DIR/long-$TARGET.log" 2>&1 || true
    grep -E "INFO: fuzzed for|^#[0-9]+: cov" "$FUZZ_DIR/long-$TARGET.log" | tail -n 3
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
    echo "run_fuzzer: $TARGET: $kept new findings"
    [ "$kept" -eq 0 ]
}

# The check's lines, counted by the coverage build of the check's target over this target's corpus.
coverage() {
    local profiles="$FUZZ_DIR/coverage-$TARGET"
    rm -rf "$profiles"
    mkdir -p "$profiles" "$FUZZ_DIR/long-$TARGET"
    LLVM_PROFILE_FILE="$profiles/run.profraw" "$FUZZ_DIR/picture_check_coverage" -runs=0 \
        "$FUZZ_DIR/long-$TARGET" "${KEPT[@]}" >"$profiles/run.log" 2>&1
    llvm-profdata-14 merge -o "$profiles/run.profdata" "$profiles/run.profraw"
    llvm-cov-14 report "$FUZZ_DIR/picture_check_coverage" -instr-profile="$profiles/run.profdata" \
        -ignore-filename-regex='tests/fuzz/'
}

prepare_kept
case "$MODE" in
ci) ci ;;
long) long "${4:?minutes}" ;;
coverage) coverage ;;
*) usage ;;
esac
