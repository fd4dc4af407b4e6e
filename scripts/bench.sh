#!/usr/bin/env bash
# Installs what is missing, builds the game and its benchmark, and runs the benchmark once headless
# under Xvfb and Wine, printing its figures.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# A prefix of its own, so that a test run on the same build folder keeps its Wine server.
export WINEPREFIX="$BUILD_DIR/wineprefix-bench"

install_missing_packages
cmake -S "$QUORVANTIS_ROOT" -B "$BUILD_DIR" \
    -DCMAKE_TOOLCHAIN_FILE="$QUORVANTIS_ROOT/cmake/mingw-w64-x86_64.cmake"
cmake --build "$BUILD_DIR" -j "$(nproc 2>/dev/null || echo 2)" --target QuorvantisBench

rm -f "$BUILD_DIR/xvfb-bench.display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$BUILD_DIR/xvfb-bench.display" >/dev/null 2>&1 &
XVFB_PID=$!
# The server is started by the first Wine command and stopped here, whatever happened.
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$BUILD_DIR/xvfb-bench.display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$BUILD_DIR/xvfb-bench.display")"

# Wine is started before the game, so that its own start does not count as the game's.
start_wine

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores;" \
    "$("$WINE_LOADER" --version 2>/dev/null || echo 'Wine')"
cd "$BUILD_DIR/bench/bin"
"$WINE_LOADER" ./QuorvantisBench.exe
echo "The 94-peg frame: $BUILD_DIR/bench/bin/bench_pegs.bmp"
