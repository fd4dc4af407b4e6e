#!/usr/bin/env bash
# Installs what is missing, builds the game and its tests, and runs every test headless under Xvfb and Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing_packages
build_game -DQUORVANTIS_TESTS=ON

# Three displays and three Wine prefixes: one for the unit and device tests, which run in parallel; one
# for the end-to-end tests, which drive the game with the X pointer and keyboard one at a time; and one
# already at the game's 1024 x 768 for playing full screen, since Xvfb cannot change its mode.
start_xvfb() { # $1: file that receives the display number, $2: the screen's size
    rm -f "$1"
    Xvfb -displayfd 3 -screen 0 "$2x24" -nolisten tcp 3>"$1" >/dev/null 2>&1 &
    echo $!
}
XVFB_PID=$(start_xvfb "$BUILD_DIR/xvfb.display" 1280x1024)
E2E_XVFB_PID=$(start_xvfb "$BUILD_DIR/xvfb-e2e.display" 1280x1024)
FULL_XVFB_PID=$(start_xvfb "$BUILD_DIR/xvfb-full.display" 1024x768)
for _ in $(seq 100); do
    [ -s "$BUILD_DIR/xvfb.display" ] && [ -s "$BUILD_DIR/xvfb-e2e.display" ] && [ -s "$BUILD_DIR/xvfb-full.display" ] &&
        break
    sleep 0.1
done
export DISPLAY=":$(cat "$BUILD_DIR/xvfb.display")"
export E2E_DISPLAY=":$(cat "$BUILD_DIR/xvfb-e2e.display")"
export E2E_WINEPREFIX="$BUILD_DIR/wineprefix-e2e"
export E2E_FULL_SCREEN_DISPLAY=":$(cat "$BUILD_DIR/xvfb-full.display")"
export E2E_FULL_SCREEN_WINEPREFIX="$BUILD_DIR/wineprefix-full"

cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    WINEPREFIX="$E2E_WINEPREFIX" "$WINESERVER" -k >/dev/null 2>&1 || true
    WINEPREFIX="$E2E_FULL_SCREEN_WINEPREFIX" "$WINESERVER" -k >/dev/null 2>&1 || true
    kill "$XVFB_PID" "$E2E_XVFB_PID" "$FULL_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

# The unit and device tests' windows are unmanaged: every message box a test answers then closes at
# once. The end-to-end tests keep the game's windows managed, as on a player's desktop.
start_wine unmanaged &
WINE_UNIT=$!
(WINEPREFIX="$E2E_WINEPREFIX" DISPLAY="$E2E_DISPLAY" start_wine) &
WINE_E2E=$!
(WINEPREFIX="$E2E_FULL_SCREEN_WINEPREFIX" DISPLAY="$E2E_FULL_SCREEN_DISPLAY" start_wine) &
WINE_FULL=$!
wait "$WINE_UNIT" "$WINE_E2E" "$WINE_FULL"

cd "$BUILD_DIR"
ctest --output-on-failure -j "${TEST_JOBS:-$(nproc)}" "$@"
