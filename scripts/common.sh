# Shared by the play, test and benchmark commands: install what is missing, configure and build, prepare
# the Wine prefix and start Wine.
# Sourced, not run.

QUORVANTIS_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$QUORVANTIS_ROOT/build}"
# Every Wine process starts through scripts/wine.sh, the test runner's and the end-to-end tests' too.
export WINE_LOADER="$QUORVANTIS_ROOT/scripts/wine.sh"
WINESERVER=/usr/lib/wine/wineserver

PACKAGES=(
    cmake make g++ pkg-config
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
    wine64 xvfb xdotool imagemagick
    libcairo2-dev libfontconfig-dev libpng-dev libjpeg-dev zlib1g-dev
    fonts-dejavu-core fonts-aenigma
    googletest python3 python3-pil clang-format
    clang libclang-rt-14-dev llvm-14 xxd
)

install_missing_packages() {
    local missing=()
    local p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build_game() {
    local jobs
    jobs="$(nproc 2>/dev/null || echo 2)"
    cmake -S "$QUORVANTIS_ROOT" -B "$BUILD_DIR" \
        -DCMAKE_TOOLCHAIN_FILE="$QUORVANTIS_ROOT/cmake/mingw-w64-x86_64.cmake" "$@"
    cmake --build "$BUILD_DIR" -j "$jobs"
}

# The Wine prefix lives in the build folder; the font replacement maps the face the program asks for
# to the installed one.
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

prepare_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.quorvantis-ready-2" ]; then
        mkdir -p "$WINEPREFIX"
        "$WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
        "$WINE_LOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Lamebrain -BRK-" \
            /t REG_SZ /d "Lamebrain BRK" /f >/dev/null 2>&1 || true
        # Wine's threaded command stream crashes (SIGSEGV) when a process ends through exit() with a
        # device alive, as Esc and the Exit buttons do; drawing on the calling thread does not.
        "$WINE_LOADER" reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.quorvantis-ready-2"
    fi
}

# Prepares the prefix, then starts a persistent server and one warm-up command: Wine's background
# services then belong to the warm-up, not to what runs next, so they hold none of its pipes open, and
# each later Wine process starts fast instead of waiting for Wine's own start.
# With "unmanaged" ($1), Wine gives the prefix's windows to no window manager. Xvfb has none, and Wine
# waits two seconds for one whenever a managed window closes, as every message box a test answers does.
start_wine() {
    prepare_wine_prefix
    if [ "${1:-}" = unmanaged ]; then
        "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    fi
    # The server left by setting up the prefix would exit on its own soon: replace it by a persistent one.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    "$WINESERVER" -p
    "$WINE_LOADER" cmd /c exit >/dev/null 2>&1 </dev/null || true
}
