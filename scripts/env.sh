# Shared set-up for the build, run and test scripts: packages, a display and a Wine prefix of our own.
# Sourced, not run. Everything lands under $BUILD_ROOT, never in the user's ~/.wine.

set -euo pipefail
REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${QUELVO_BUILD_ROOT:-$REPO_ROOT/build}
# Our own prefix whatever WINEPREFIX says: many Wine users export theirs, and it holds their installed programs.
# Only the project's own variables may name another; the tests take theirs with use_test_prefix.
export WINEPREFIX=${QUELVO_WINEPREFIX:-$BUILD_ROOT/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# Wine answers every "file associations changed" notice by starting winemenubuilder, which copies the prefix's
# associations into the Linux desktop of the user running the tests: Windows does no such thing, and it costs about
# 100 ms a switch here.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export DISPLAY=${QUELVO_DISPLAY:-:77}

PACKAGES=(cmake make g++ googletest mingw-w64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64
          xvfb xauth x11-utils xdotool imagemagick zip nlohmann-json3-dev msitools wixl osslsigncode python3-olefile
          python3-pil fonts-dejavu-core)

ensure_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

start_display() {
    if xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then return 0; fi
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$BUILD_ROOT/xvfb.log" 2>&1 &
    for _ in $(seq 1 100); do
        xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}

# The tests' own prefix, apart from the one run.sh starts the program in: a Quelvo left running there holds the
# single-instance mutex of its own prefix only.
use_test_prefix() {
    export WINEPREFIX=${QUELVO_TEST_WINEPREFIX:-$BUILD_ROOT/wineprefix-tests}
}

# A folder is ours to erase only if it carries OWNED_MARK, written before Wine first fills it.
OWNED_MARK=.quelvo-prefix
READY_MARK=.quelvo-ready

claim_prefix_folder() {
    if [ -f "$WINEPREFIX/$OWNED_MARK" ]; then
        rm -rf "$WINEPREFIX" # ours, left half made by an interrupted preparation
    elif [ -n "$(ls -A "$WINEPREFIX" 2>/dev/null)" ]; then
        echo "$WINEPREFIX is not empty and was not made by these scripts; it is left alone." >&2
        echo "Remove it yourself, or name another folder with QUELVO_WINEPREFIX or QUELVO_TEST_WINEPREFIX." >&2
        return 1
    fi
    mkdir -p "$WINEPREFIX"
    touch "$WINEPREFIX/$OWNED_MARK"
}

# A 64-bit prefix whose programs all open in one virtual desktop, so that title bars, a taskbar and the
# notification area are drawn and can be clicked.
prepare_wine_prefix() {
    mkdir -p "$BUILD_ROOT"
    [ -f "$WINEPREFIX/$READY_MARK" ] && return 0
    claim_prefix_folder || return 1
    WINEARCH=win64 wineboot --init >"$BUILD_ROOT/wineboot.log" 2>&1
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/$READY_MARK"
}

prepare_environment() {
    ensure_packages
    mkdir -p "$BUILD_ROOT"
    start_display
    prepare_wine_prefix
}

build_native() {
    cmake -S "$REPO_ROOT" -B "$BUILD_ROOT/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD_ROOT/native" -j2
}

build_windows() {
    cmake -S "$REPO_ROOT" -B "$BUILD_ROOT/windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$REPO_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" >/dev/null
    cmake --build "$BUILD_ROOT/windows" -j2
}

# Runs the screenshot program of the Windows build (at DPI dots per inch if given) and leaves PNG files in folder.
take_screenshots() {
    local folder=$1 dpi=${2:-}
    mkdir -p "$folder"
    folder=$(cd "$folder" && pwd)
    local program=(wine "$BUILD_ROOT/windows/tests/quelvo_screenshots.exe" "Z:${folder//\//\\}")
    if [ -n "$dpi" ]; then
        sh "$REPO_ROOT/tests/e2e/at_dpi.sh" "$dpi" "${program[@]}"
    else
        "${program[@]}"
    fi
    local picture
    for picture in "$folder"/*.bmp; do
        convert "$picture" "${picture%.bmp}.png"
        rm "$picture"
    done
}
