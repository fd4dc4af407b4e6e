#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it (on $DISPLAY, or under Xvfb when there is none).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing_packages
build_game -DQUORVANTIS_TESTS=OFF

if [ -z "${DISPLAY:-}" ]; then
    # At the game's own size, so that Yes to the full-screen question works: Xvfb cannot change its mode.
    echo "No display: the game runs on a virtual one (Xvfb :77, 1024 x 768: answer Yes); run it on a desktop to see it."
    Xvfb :77 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
    export DISPLAY=:77
    sleep 1
fi
prepare_wine_prefix
cd "$BUILD_DIR/game/bin"
exec_status=0
"$WINE_LOADER" ./Quorvantis3D.exe || exec_status=$?
exit $exec_status
