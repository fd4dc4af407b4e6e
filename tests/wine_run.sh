#!/usr/bin/env bash
# Runs a test program under Wine. A test passes on GoogleTest's summary line, whatever the exit code:
# a non-zero one is named, so that a crash after the summary still fails the test.
set -u
"${WINE_LOADER:-$(dirname "${BASH_SOURCE[0]}")/../scripts/wine.sh}" "$@"
status=$?
if [ "$status" -ne 0 ]; then
    echo "wine_run: the program exited with code $status" >&2
fi
exit "$status"
