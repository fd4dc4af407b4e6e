#!/usr/bin/env bash
# Runs a test program under Wine. Its output goes through a file: the prefix's desktop process, started
# by the first program that needs a window, inherits that program's output and keeps it open as long as
# the desktop lives, and CTest would wait on it until the test timed out.
# A test passes on GoogleTest's summary line, whatever the exit code: a non-zero one is named, so that a
# crash after the summary still fails the test.
set -u
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
"${WINE_LOADER:-$(dirname "${BASH_SOURCE[0]}")/../scripts/wine.sh}" "$@" >"$output" 2>&1
status=$?
cat "$output"
if [ "$status" -ne 0 ]; then
    echo "wine_run: the program exited with code $status" >&2
fi
exit "$status"
