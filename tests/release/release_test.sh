#!/usr/bin/env bash
# scripts/release.sh as a publisher runs it, with a throwaway root, code-signing and time-stamping certificate made
# here and a time-stamp server on 127.0.0.1: every signature verified offline (the package, the exes inside the zip
# and inside the package), the checksums, a certificate without its password refused; then a release in a second
# build folder gives the same exes once their signatures are taken off.
#   release_test.sh WORK BUILD_DIR   (BUILD_DIR: the tests' Windows build, reused when it is BUILD_ROOT/windows)
set -uo pipefail
work=$1 build=$2
here=$(cd "$(dirname "$0")" && pwd)
release=$here/../../scripts/release.sh
failures=0
check() { # DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAIL: $1"; failures=$((failures + 1)); fi
}

keys=$work/keys
rm -rf "$keys" "$work/refused" "$work/unpacked" "$work/rebuild" # the second release builds from nothing
mkdir -p "$keys"
cd "$keys" || exit 1
certificate() { # NAME SUBJECT [EXTENSION...]: a root without a signer, else issued by the root
    local issuer=() extension=()
    [ "$1" = root ] || issuer=(-CA root.pem -CAkey root.key)
    for e in "${@:3}"; do extension+=(-addext "$e"); done
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 2 -subj "$2" "${issuer[@]}" \
        "${extension[@]}" 2>/dev/null
}
leaf=("basicConstraints=critical,CA:false" "keyUsage=critical,digitalSignature")
certificate root "/CN=Quelvo test root" "basicConstraints=critical,CA:true" "keyUsage=critical,keyCertSign" &&
    certificate signer "/CN=Tarnix test signer" "${leaf[@]}" "extendedKeyUsage=codeSigning" &&
    certificate stamps "/CN=Quelvo test time stamps" "${leaf[@]}" "extendedKeyUsage=critical,timeStamping" || exit 1
printf 'mot de passe\n' >password
printf 'faux\n' >wrong-password
openssl pkcs12 -export -in signer.pem -inkey signer.key -out signer.pfx -passout file:password || exit 1
printf '01\n' >stamps.serial
cat >stamps.cnf <<EOF
[tsa]
default_tsa = test
[test]
serial = $keys/stamps.serial
crypto_device = builtin
signer_cert = $keys/stamps.pem
signer_key = $keys/stamps.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.55555.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
/usr/bin/python3 "$here/timestamp_server.py" stamps.cnf >port &
server=$!
trap 'kill $server' EXIT
deadline=$(($(date +%s) + 60))
until [ -s port ] || ! kill -0 "$server" 2>/dev/null || [ "$(date +%s)" -gt "$deadline" ]; do sleep 0.1; done
[ -s port ] || { echo "FAIL: the local time-stamp server did not start" >&2; exit 1; }
export no_proxy=127.0.0.1

signed() { # ROOT PASSWORD_FILE LOG [TIMESTAMP_URL]
    QUELVO_BUILD_ROOT=$1 QUELVO_SIGNING_PFX=$keys/signer.pfx QUELVO_SIGNING_PASSWORD_FILE=$2 \
        QUELVO_TIMESTAMP_URL=${4:-} bash "$release" >"$3" 2>&1
}
verified() { # FILE [stamped]: signed by the test signer, chained to the test root, time-stamped if asked
    local log=$work/verify-$(basename "$(dirname "$1")")-$(basename "$1").log
    osslsigncode verify -in "$1" -CAfile "$keys/root.pem" -TSA-CAfile "$keys/root.pem" >"$log" 2>&1 &&
        grep -q "Subject: /CN=Tarnix test signer" "$log" &&
        { [ -z "${2:-}" ] || grep -q "Timestamp Server Signature verification: ok" "$log"; }
}
unsigned_copy() { osslsigncode remove-signature -in "$1" -out "$2" >/dev/null 2>&1; }

if [ "$(basename "$build")" = windows ]; then first=$(dirname "$build"); else first=$work/first; fi
second=$work/rebuild
version=$(sed -n 's/^#define QUELVO_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/version.h")

echo "== a certificate without its password file, then with a wrong password"
signed "$work/refused" "$keys/missing" "$work/refused.log"
check "release.sh fails without the password file" test $? != 0
check "it names QUELVO_SIGNING_PASSWORD_FILE" grep -q "QUELVO_SIGNING_PASSWORD_FILE.*is not a readable file" \
    "$work/refused.log"
check "and builds nothing" test ! -e "$work/refused"
signed "$first" "$keys/wrong-password" "$work/wrong.log"
check "release.sh fails with a wrong password" test $? != 0
check "it says the exe could not be signed" grep -q "could not sign .*quelvo.exe" "$work/wrong.log"

echo "== a signed, time-stamped release in $first"
signed "$first" "$keys/password" "$work/first.log" "http://127.0.0.1:$(cat port)"
check "release.sh succeeds (log: $work/first.log)" test $? = 0
dist=$first/windows/dist
check "the checksums are those of the zip and the package as shipped" \
    bash -c "cd '$dist' && sha256sum -c quelvo-$version.sha256"
mkdir -p "$work/unpacked/zip" "$work/unpacked/msi"
(cd "$work/unpacked/zip" && cmake -E tar xf "$dist/quelvo-$version.zip")
msiextract -C "$work/unpacked/msi" "$dist/quelvo-$version.msi" >/dev/null
zipped=$work/unpacked/zip/quelvo-$version
packed=$(dirname "$(find "$work/unpacked/msi" -name quelvo.exe)")
check "the zip's checksums are those of its exes" \
    bash -c "cd '$zipped' && sha256sum -c quelvo.exe.sha256 quelvo-cli.exe.sha256"
check "the package is signed and time-stamped" verified "$dist/quelvo-$version.msi" stamped
for exe in quelvo.exe quelvo-cli.exe; do
    check "$exe in the zip is signed and time-stamped" verified "$zipped/$exe" stamped
    check "$exe in the package is signed and time-stamped" verified "$packed/$exe" stamped
    check "$exe is the same in the zip and in the package" cmp -s "$zipped/$exe" "$packed/$exe"
done

echo "== the same commit released again in $second: the same exes"
signed "$second" "$keys/password" "$work/second.log"
check "release.sh succeeds in a second build folder (log: $work/second.log)" test $? = 0
for exe in quelvo.exe quelvo-cli.exe; do
    unsigned_copy "$zipped/$exe" "$work/unpacked/first-$exe"
    unsigned_copy "$second/windows/dist/quelvo-$version/$exe" "$work/unpacked/second-$exe"
    sha256sum "$work/unpacked/first-$exe" "$work/unpacked/second-$exe"
    check "$exe: both releases' exes are equal without their signatures" \
        cmp "$work/unpacked/first-$exe" "$work/unpacked/second-$exe"
    check "$exe: without its signature it is the exe as linked, checksum included" \
        cmp "$work/unpacked/first-$exe" "$first/windows/$exe"
done

echo "$failures failure(s)"
((failures == 0))
