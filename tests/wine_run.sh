#!/usr/bin/env bash
# Runs a test program under Wine. Under heavy parallel load Wine now and then fails to start a
# process at all: it exits at once having printed nothing, before the program's main ran. Only that
# case is tried again; any run that printed something is reported as it is.
set -u
loader="${WINE_LOADER:-/usr/lib/wine/wine64}"
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
for attempt in 1 2 3; do
    "$loader" "$@" >"$output" 2>&1
    status=$?
    if [ "$status" -eq 0 ] || [ -s "$output" ]; then
        break
    fi
    echo "wine_run: Wine exited with $status before the program started (attempt $attempt)" >&2
    sleep 1
done
cat "$output"
# A test passes on GoogleTest's summary line, whatever the exit code: name a failing one so a crash
# after the summary still fails the test.
if [ "$status" -ne 0 ]; then
    echo "wine_run: the program exited with code $status" >&2
fi
exit "$status"
