#!/usr/bin/env bash
# Fuzzes the picture check by hand for longer than the tests do: builds what the test command builds,
# writes the corpus, then fuzzes on every core for MINUTES (30 if not given) and reports the coverage.
# Each input found is kept in tests/fuzz/findings/ as hex, which the tests replay from then on.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

MINUTES="${1:-30}"
install_missing_packages
build_game -DQUORVANTIS_TESTS=ON
cmake --build "$BUILD_DIR/fuzz" --target picture_check_coverage
"$BUILD_DIR/fuzz/picture_fuzz_corpus" "$BUILD_DIR/game" "$BUILD_DIR/fuzz/corpus"
status=0
"$QUORVANTIS_ROOT/tests/fuzz/run_fuzzer.sh" long "$BUILD_DIR/fuzz" "$MINUTES" || status=$?
"$QUORVANTIS_ROOT/tests/fuzz/run_fuzzer.sh" coverage "$BUILD_DIR/fuzz"
exit $status
