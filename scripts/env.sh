# Shared set-up for the build, run and test scripts: packages, a display and a Wine prefix of our own.
# Sourced, not run: it sets no shell option (each caller sets its own), and its functions report a failure through
# their status. Everything lands under $BUILD_ROOT, never in the user's ~/.wine.

REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${QUELVO_BUILD_ROOT:-$REPO_ROOT/build}
source "$REPO_ROOT/scripts/wine_prefix.sh"
# Our own prefix whatever WINEPREFIX says: many Wine users export theirs, and it holds their installed programs.
# Only the project's own variables may name another; the tests take theirs with use_test_prefix.
use_wine_prefix "${QUELVO_WINEPREFIX:-$BUILD_ROOT/wineprefix}"

PACKAGES=(cmake make g++ googletest mingw-w64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64
          xvfb xauth x11-utils xdotool imagemagick zip nlohmann-json3-dev msitools wixl osslsigncode python3-olefile
          python3-pil fonts-dejavu-core fonts-wine openssl libengine-pkcs11-openssl softhsm2 python3-yaml yamllint)

ensure_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The installer package is part of what the tests and a release check: without its tools they stop, never skip it.
# PATH is where the build looks for them too (cmake/package.cmake).
require_package_tools() {
    local tool missing=()
    for tool in wixl msibuild msiinfo; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "$(basename "$0"): ${missing[*]} not found in PATH, so the installer package cannot be built and checked;" \
        "install Debian's wixl and msitools. quelvo.exe and quelvo-cli.exe alone build without them" \
        "(cmake --build build/windows --target quelvo quelvo-cli)." >&2
    return 1
}

# The display named by QUELVO_DISPLAY (started there if nothing answers), or else a free one that Xvfb finds itself
# (-displayfd), so that two runs on one machine never share keys and pointer. It reports its number once it accepts
# clients: read through a pipe, no polling. An Xvfb started here ends with end_environment.
XVFB_PID=
start_display() {
    if [ -n "${QUELVO_DISPLAY:-}" ]; then
        export DISPLAY=$QUELVO_DISPLAY
        xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && return 0
    fi
    local fifo number=
    fifo=$(mktemp -u "$BUILD_ROOT/.xvfb-ready.XXXXXX") && mkfifo "$fifo" || return 1
    # shellcheck disable=SC2086 # no display number: Xvfb picks one
    Xvfb ${QUELVO_DISPLAY:-} -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$BUILD_ROOT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    read -r -t 60 number <"$fifo"
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "Xvfb did not start${QUELVO_DISPLAY:+ on $QUELVO_DISPLAY} (see $BUILD_ROOT/xvfb.log)" >&2
        kill "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
        return 1
    fi
    export DISPLAY=:$number
}

# Ends what this script started: the Wine server of its prefix (and every program of it), then its Xvfb.
end_environment() {
    end_wineserver
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
    return 0
}

# For a script that prepares the environment: what it started ends with it, on success, failure or a signal.
end_environment_on_exit() {
    trap 'status=$?; end_environment; exit $status' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
}

# The tests' own prefix, apart from the one run.sh starts the program in: a Quelvo left running there holds the
# single-instance mutex of its own prefix only.
use_test_prefix() {
    use_wine_prefix "${QUELVO_TEST_WINEPREFIX:-$BUILD_ROOT/wineprefix-tests}"
}

# The benchmark's own, so that it can run beside a test run of the same clone.
use_bench_prefix() {
    use_wine_prefix "${QUELVO_BENCH_WINEPREFIX:-$BUILD_ROOT/wineprefix-bench}"
}

# Wine draws with its own fonts (Marlett's glyphs on the title bar's buttons, Tahoma for dialogs), which Debian's
# fonts-wine puts in Wine's data folder; Debian's Wine 8 reaches that folder by a path with "..", which its font
# loader cannot open, so without this the close button shows the letter "r". The prefix's Fonts folder is where
# Windows keeps them too.
install_wine_fonts() {
    local font folder=$WINEPREFIX/drive_c/windows/Fonts
    mkdir -p "$folder" || return 1
    for font in /usr/share/wine/fonts/*; do
        [ -e "$folder/${font##*/}" ] || cp "$font" "$folder/" || return 1
    done
}

prepare_environment() {
    ensure_packages && mkdir -p "$BUILD_ROOT" && start_display && prepare_wine_prefix && install_wine_fonts &&
        start_wineserver
}

build_native() {
    cmake -S "$REPO_ROOT" -B "$BUILD_ROOT/native" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
        cmake --build "$BUILD_ROOT/native" -j2
}

# build_windows [TARGET...]: the named targets only, or everything (the tests included) without one.
build_windows() {
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake -S "$REPO_ROOT" -B "$BUILD_ROOT/windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$REPO_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" >/dev/null &&
        cmake --build "$BUILD_ROOT/windows" -j2 "${targets[@]}"
}

# Wine closes a desktop a second after its last program leaves it; a test program starting in that second would be
# given the closing one. One program that stays on it from the build to the end of the run keeps it open (it ends
# with the Wine server).
keep_desktop_open() {
    wine "$BUILD_ROOT/windows/tests/quelvo_desktop_keeper.exe" >/dev/null 2>&1 &
}

# Runs the screenshot program of the Windows build (at DPI dots per inch if given) and leaves PNG files in folder,
# each cropped to the part the program named beside its capture of the whole desktop.
take_screenshots() {
    local folder=$1 dpi=${2:-}
    mkdir -p "$folder" && folder=$(cd "$folder" && pwd) || return 1
    local program=(wine "$BUILD_ROOT/windows/tests/quelvo_screenshots.exe" "Z:${folder//\//\\}")
    if [ -n "$dpi" ]; then
        sh "$REPO_ROOT/tests/e2e/at_dpi.sh" "$dpi" "${program[@]}" || return 1
    else
        "${program[@]}" || return 1
    fi
    local picture
    for picture in "$folder"/*.bmp; do
        convert "$picture" -crop "$(cat "${picture%.bmp}.crop")" +repage "${picture%.bmp}.png" &&
            rm "$picture" "${picture%.bmp}.crop" || return 1
    done
}
