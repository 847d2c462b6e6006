#!/usr/bin/env bash
# Builds a release's downloads into build/windows/dist (under QUELVO_BUILD_ROOT if set): the zip, the installer
# package and their checksums. Given a certificate, both programs are signed before they go into the zip and the
# package, then the package is: either QUELVO_SIGNING_PFX (a PKCS#12 file), or a key on a token or a signing service
# reached through PKCS#11 (QUELVO_SIGNING_PKCS11_MODULE, the module; QUELVO_SIGNING_PKCS11_KEY, the key's URI;
# QUELVO_SIGNING_CERT, the certificate chain in PEM), with QUELVO_SIGNING_PASSWORD_FILE holding the password or PIN.
# QUELVO_TIMESTAMP_URL adds an RFC 3161 time stamp from that server. With QUELVO_RELEASE_URL (the address the
# downloads will be published at), the winget and Scoop manifests are written too. Both programs are linked with the
# commit's time (SOURCE_DATE_EPOCH), so that a rebuild of the commit gives the same exes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

fail() { echo "release: $*" >&2; exit 1; }
readable() { [ -n "$1" ] && [ -f "$1" ] && [ -r "$1" ]; }

pkcs11="${QUELVO_SIGNING_PKCS11_MODULE:-}${QUELVO_SIGNING_PKCS11_KEY:-}${QUELVO_SIGNING_CERT:-}"
signing=()
if [ -n "${QUELVO_SIGNING_PFX:-}" ] && [ -n "$pkcs11" ]; then
    fail "QUELVO_SIGNING_PFX and QUELVO_SIGNING_PKCS11_* name two keys: give one; nothing was built"
elif [ -n "$pkcs11" ]; then
    readable "${QUELVO_SIGNING_PKCS11_MODULE:-}" ||
        fail "QUELVO_SIGNING_PKCS11_MODULE ('${QUELVO_SIGNING_PKCS11_MODULE:-}') is not a readable PKCS#11 module;" \
            "nothing was built"
    [[ "${QUELVO_SIGNING_PKCS11_KEY:-}" == pkcs11:* ]] ||
        fail "QUELVO_SIGNING_PKCS11_KEY ('${QUELVO_SIGNING_PKCS11_KEY:-}') is not a PKCS#11 URI" \
            "(pkcs11:token=...;object=...); nothing was built"
    readable "${QUELVO_SIGNING_CERT:-}" ||
        fail "QUELVO_SIGNING_CERT ('${QUELVO_SIGNING_CERT:-}') is not a readable certificate chain (PEM);" \
            "nothing was built"
    signing=(-pkcs11module "$QUELVO_SIGNING_PKCS11_MODULE" -key "$QUELVO_SIGNING_PKCS11_KEY"
             -certs "$QUELVO_SIGNING_CERT")
elif [ -n "${QUELVO_SIGNING_PFX:-}${QUELVO_SIGNING_PASSWORD_FILE:-}" ]; then
    readable "${QUELVO_SIGNING_PFX:-}" ||
        fail "QUELVO_SIGNING_PFX ('${QUELVO_SIGNING_PFX:-}') is not a readable certificate file; nothing was built"
    signing=(-pkcs12 "$QUELVO_SIGNING_PFX")
fi
if [ ${#signing[@]} -gt 0 ]; then
    readable "${QUELVO_SIGNING_PASSWORD_FILE:-}" ||
        fail "QUELVO_SIGNING_PASSWORD_FILE ('${QUELVO_SIGNING_PASSWORD_FILE:-}') is not a readable file holding the" \
            "certificate's password or the token's PIN; nothing was built"
    signing+=(-readpass "$QUELVO_SIGNING_PASSWORD_FILE" -h sha256 -n Quelvo)
    [ -n "${QUELVO_TIMESTAMP_URL:-}" ] && signing+=(-ts "$QUELVO_TIMESTAMP_URL")
fi
# The manifests name each download as this address, "/" and its file name: no query, fragment, space, quote or "$"
# (Scoop's variables).
url_pattern='^https://[A-Za-z0-9._~:/@!&+,;=%-]+$'
[ -z "${QUELVO_RELEASE_URL:-}" ] || [[ "$QUELVO_RELEASE_URL" =~ $url_pattern ]] ||
    fail "QUELVO_RELEASE_URL ('$QUELVO_RELEASE_URL') is not an https:// address of the folder the downloads will" \
        "be published in; nothing was built"
sign() { # FILE: signed in place, or the release stops
    osslsigncode sign "${signing[@]}" -in "$1" -out "$1.signed" >"$1.signing.log" 2>&1 </dev/null ||
        fail "osslsigncode could not sign $1 (wrong password, PIN, key or certificate?):"$'\n'"$(cat "$1.signing.log")"
    mv "$1.signed" "$1"
    rm "$1.signing.log"
}
# Smart App Control accepts RSA signatures only. The chain's end-entity certificates (those that are no CA) carry
# the key that signs: each must be RSA.
rsa_signer_certificate() { # PEM_CHAIN
    local text
    text=$(openssl crl2pkcs7 -nocrl -certfile "$1" 2>/dev/null | openssl pkcs7 -print_certs -text -noout 2>/dev/null) &&
        awk '/^Certificate:/ { if (n++ && !ca) { leaves++; if (!rsa) bad++ } ca = rsa = 0 }
             /CA:TRUE/ { ca = 1 }  /Public Key Algorithm: rsaEncryption/ { rsa = 1 }
             END { if (n && !ca) { leaves++; if (!rsa) bad++ } exit !(leaves && !bad) }' <<<"$text"
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
[ -z "${QUELVO_SIGNING_CERT:-}" ] || rsa_signer_certificate "$QUELVO_SIGNING_CERT" ||
    fail "QUELVO_SIGNING_CERT ('$QUELVO_SIGNING_CERT') holds no certificate, or one whose key is not RSA: Windows" \
        "Smart App Control accepts RSA signatures only; nothing was built"
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
    -DEXE="$stage/quelvo.exe" -DCLI="$stage/quelvo-cli.exe" -DREADME="$REPO_ROOT/README.md" -DDOCS="$REPO_ROOT/docs" \
    -DOUTPUT="$msi" -P "$REPO_ROOT/cmake/build_msi.cmake"
cmake -DMSIINFO="$(command -v msiinfo)" -DMSI="$msi" -DHEADER="$header" -P "$REPO_ROOT/cmake/check_msi.cmake" >/dev/null
[ ${#signing[@]} -gt 0 ] && sign "$msi"
cmake -DEXE="$stage/quelvo.exe" -DCLI="$stage/quelvo-cli.exe" -DREADME="$REPO_ROOT/README.md" \
    -DDOCS="$REPO_ROOT/docs" -DMSI="$msi" -DVERSION="$version" -DOUTPUT="$windows/dist" \
    -P "$REPO_ROOT/cmake/make_dist.cmake"
rm -rf "$windows/dist/winget" "$windows/dist/scoop" # those of an earlier release would name other files
if [ -n "${QUELVO_RELEASE_URL:-}" ]; then
    /usr/bin/python3 "$REPO_ROOT/packaging/write_manifests.py" "$windows/dist" "$header" "$QUELVO_RELEASE_URL" \
        "$(command -v msiinfo)"
    faults=$(/usr/bin/python3 "$REPO_ROOT/packaging/check_manifests.py" "$windows/dist" 2>&1) || {
        rm -rf "$windows/dist/winget" "$windows/dist/scoop"
        fail "the manifests break winget's or Scoop's rules, so none was kept:"$'\n'"$faults"
    }
    manifests="winget and Scoop manifests for $QUELVO_RELEASE_URL in $windows/dist/winget and $windows/dist/scoop"
else
    manifests="no winget or Scoop manifest: QUELVO_RELEASE_URL (the address the downloads will be published at)"
    manifests+=" is not set"
fi

echo "== Quelvo $version, linked at SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, $([ ${#signing[@]} -gt 0 ] &&
    echo signed || echo "not signed"), in $windows/dist:"
(cd "$windows/dist" && ls -l "quelvo-$version.zip" "quelvo-$version.msi" && cat "quelvo-$version.sha256" &&
    sha256sum "quelvo-$version/quelvo.exe" "quelvo-$version/quelvo-cli.exe")
echo "== $manifests"
