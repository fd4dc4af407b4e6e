#!/usr/bin/env bash
# Fuzzes the picture check by hand for longer than the tests do: builds what the test command builds,
# writes the corpus, then runs each fuzz target in turn (the check, then the decoder on the JPEGs it
# accepts) on every core for MINUTES (30 if not given) and reports the check's coverage by each corpus.
# Each input found is kept in tests/fuzz/findings/ as hex, which the tests replay from then on.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

MINUTES="${1:-30}"
install_missing_packages
build_game -DQUORVANTIS_TESTS=ON
cmake --build "$BUILD_DIR/fuzz" --target picture_check_coverage
"$BUILD_DIR/fuzz/picture_fuzz_corpus" "$BUILD_DIR/game" "$BUILD_DIR/fuzz/corpus"
status=0
for target in check decode; do
    "$QUORVANTIS_ROOT/tests/fuzz/run_fuzzer.sh" long "$target" "$BUILD_DIR/fuzz" "$MINUTES" || status=$?
    "$QUORVANTIS_ROOT/tests/fuzz/run_fuzzer.sh" coverage "$target" "$BUILD_DIR/fuzz"
done
exit $status
