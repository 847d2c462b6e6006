#!/usr/bin/env bash
# Builds a release's downloads into build/windows/dist (under QUELVO_BUILD_ROOT if set): the zip, the installer
# package and their checksums. With QUELVO_SIGNING_PFX (a PKCS#12 file) and QUELVO_SIGNING_PASSWORD_FILE (a file
# holding its password), both programs are signed before they go into the zip and the package, then the package is;
# QUELVO_TIMESTAMP_URL adds an RFC 3161 time stamp from that server. Both programs are linked with the commit's time
# (SOURCE_DATE_EPOCH), so that a rebuild of the commit gives the same exes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

fail() { echo "release: $*" >&2; exit 1; }

signing=()
if [ -n "${QUELVO_SIGNING_PFX:-}${QUELVO_SIGNING_PASSWORD_FILE:-}" ]; then
    [ -n "${QUELVO_SIGNING_PFX:-}" ] && [ -f "$QUELVO_SIGNING_PFX" ] && [ -r "$QUELVO_SIGNING_PFX" ] ||
        fail "QUELVO_SIGNING_PFX ('${QUELVO_SIGNING_PFX:-}') is not a readable certificate file; nothing was built"
    [ -n "${QUELVO_SIGNING_PASSWORD_FILE:-}" ] && [ -f "$QUELVO_SIGNING_PASSWORD_FILE" ] &&
        [ -r "$QUELVO_SIGNING_PASSWORD_FILE" ] ||
        fail "QUELVO_SIGNING_PASSWORD_FILE ('${QUELVO_SIGNING_PASSWORD_FILE:-}') is not a readable file holding the" \
            "certificate's password; nothing was built"
    signing=(-pkcs12 "$QUELVO_SIGNING_PFX" -readpass "$QUELVO_SIGNING_PASSWORD_FILE" -h sha256 -n Quelvo)
    [ -n "${QUELVO_TIMESTAMP_URL:-}" ] && signing+=(-ts "$QUELVO_TIMESTAMP_URL")
fi
sign() { # FILE: signed in place, or the release stops
    osslsigncode sign "${signing[@]}" -in "$1" -out "$1.signed" >"$1.signing.log" 2>&1 ||
        fail "osslsigncode could not sign $1 (wrong password or certificate?):"$'\n'"$(cat "$1.signing.log")"
    mv "$1.signed" "$1"
    rm "$1.signing.log"
}

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$REPO_ROOT" log -1 --format=%ct 2>/dev/null) ||
        fail "$REPO_ROOT is not a git checkout: set SOURCE_DATE_EPOCH to the time to link with"
fi
export SOURCE_DATE_EPOCH
[ -z "$(git -C "$REPO_ROOT" status --porcelain 2>/dev/null)" ] ||
    echo "release: the work tree has uncommitted changes: these exes are not those of the commit" >&2

ensure_packages
require_package_tools
mkdir -p "$BUILD_ROOT"
windows=$BUILD_ROOT/windows
cmake -S "$REPO_ROOT" -B "$windows" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$REPO_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" >/dev/null
# Linked again, so that they carry this commit's time whatever built them before.
rm -f "$windows/quelvo.exe" "$windows/quelvo-cli.exe"
# The build's own package too, so that it stays that of the exes beside it.
cmake --build "$windows" -j2 --target quelvo quelvo-cli msi

header=$windows/generated/version.h
version=$(sed -n 's/^#define QUELVO_VERSION_TEXT "\(.*\)"$/\1/p' "$header")
stage=$windows/release
rm -rf "$stage"
mkdir -p "$stage"
cp "$windows/quelvo.exe" "$windows/quelvo-cli.exe" "$stage/"
if [ ${#signing[@]} -gt 0 ]; then
    sign "$stage/quelvo.exe"
    sign "$stage/quelvo-cli.exe"
fi
msi=$stage/quelvo-$version.msi
cmake -DWIXL="$(command -v wixl)" -DWXS="$REPO_ROOT/packaging/quelvo.wxs" -DHEADER="$header" \
    -DEXE="$stage/quelvo.exe" -DCLI="$stage/quelvo-cli.exe" -DREADME="$REPO_ROOT/README.md" -DOUTPUT="$msi" \
    -P "$REPO_ROOT/cmake/build_msi.cmake"
cmake -DMSIINFO="$(command -v msiinfo)" -DMSI="$msi" -DHEADER="$header" -P "$REPO_ROOT/cmake/check_msi.cmake" >/dev/null
[ ${#signing[@]} -gt 0 ] && sign "$msi"
cmake -DEXE="$stage/quelvo.exe" -DCLI="$stage/quelvo-cli.exe" -DREADME="$REPO_ROOT/README.md" -DMSI="$msi" \
    -DVERSION="$version" -DOUTPUT="$windows/dist" -P "$REPO_ROOT/cmake/make_dist.cmake"

echo "== Quelvo $version, linked at SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, $([ ${#signing[@]} -gt 0 ] &&
    echo signed || echo "not signed"), in $windows/dist:"
(cd "$windows/dist" && ls -l "quelvo-$version.zip" "quelvo-$version.msi" && cat "quelvo-$version.sha256" &&
    sha256sum "quelvo-$version/quelvo.exe" "quelvo-$version/quelvo-cli.exe")
