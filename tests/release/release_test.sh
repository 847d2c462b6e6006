#!/usr/bin/env bash
# scripts/release.sh as a publisher runs it, with a throwaway root, code-signing and time-stamping certificate made
# here and a time-stamp server on 127.0.0.1: a release signed with a PKCS#12 file, then one in a second build folder
# signed with a key on a SoftHSM token of the test's own, every signature verified offline (the package, the exes
# inside the zip and inside the package), the checksums, wrong settings refused; the second release's winget and
# Scoop manifests checked against the downloads; both releases give the same exes once their signatures are taken off.
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
    certificate stamps "/CN=Quelvo test time stamps" "${leaf[@]}" "extendedKeyUsage=critical,timeStamping" &&
    certificate token "/CN=Tarnix token signer" "${leaf[@]}" "extendedKeyUsage=codeSigning" &&
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ec.key -out ec.pem -days 2 \
        -subj "/CN=Tarnix EC signer" -CA root.pem -CAkey root.key -addext "${leaf[0]}" 2>/dev/null || exit 1
printf 'mot de passe\n' >password
printf 'faux\n' >wrong-password
openssl pkcs12 -export -in signer.pem -inkey signer.key -out signer.pfx -passout file:password || exit 1
# The token: its key taken in, then the key file deleted, so that only the token can sign with it.
mkdir tokens
printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' "$keys" >softhsm2.conf
export SOFTHSM2_CONF=$keys/softhsm2.conf
module=/usr/lib/softhsm/libsofthsm2.so
printf '246810\n' >pin
{ softhsm2-util --init-token --free --label "quelvo test" --so-pin 13579135 --pin 246810 &&
    openssl pkcs8 -topk8 -nocrypt -in token.key -out token.p8 &&
    softhsm2-util --import token.p8 --token "quelvo test" --label signer --id 01 --pin 246810 &&
    rm token.key token.p8 && cat token.pem root.pem >token-chain.pem && cat ec.pem root.pem >ec-chain.pem; } \
    >token.log 2>&1 || { cat token.log; exit 1; }
token_key='pkcs11:token=quelvo%20test;object=signer;type=private'
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
signed_by_token() { # ROOT PIN_FILE CHAIN LOG [VARIABLE=VALUE...]
    env QUELVO_BUILD_ROOT="$1" QUELVO_SIGNING_PKCS11_MODULE=$module QUELVO_SIGNING_PKCS11_KEY="$token_key" \
        QUELVO_SIGNING_CERT="$3" QUELVO_SIGNING_PASSWORD_FILE="$2" "${@:5}" bash "$release" >"$4" 2>&1
}
verified() { # FILE SIGNER [stamped]: signed by SIGNER, chained to the test root, time-stamped if asked
    local log=$work/verify-${2// /-}-$(basename "$(dirname "$1")")-$(basename "$1").log
    osslsigncode verify -in "$1" -CAfile "$keys/root.pem" -TSA-CAfile "$keys/root.pem" >"$log" 2>&1 &&
        grep -q "Subject: /CN=Tarnix $2" "$log" &&
        { [ -z "${3:-}" ] || grep -q "Timestamp Server Signature verification: ok" "$log"; }
}
signatures() { # DIST UNPACKED SIGNER: the package and the exes in the zip and in the package, signed and stamped
    mkdir -p "$2/zip" "$2/msi"
    (cd "$2/zip" && cmake -E tar xf "$1/quelvo-$version.zip")
    msiextract -C "$2/msi" "$1/quelvo-$version.msi" >/dev/null
    zipped=$2/zip/quelvo-$version
    packed=$(dirname "$(find "$2/msi" -name quelvo.exe)")
    check "the zip's checksums are those of its exes" \
        bash -c "cd '$zipped' && sha256sum -c quelvo.exe.sha256 quelvo-cli.exe.sha256"
    check "the package is signed by the $3 and time-stamped" verified "$1/quelvo-$version.msi" "$3" stamped
    check "the zip and the package carry docs/ as it is" \
        bash -c "diff -r '$here/../../docs' '$zipped/docs' && diff -r '$here/../../docs' '$packed/docs'"
    for exe in quelvo.exe quelvo-cli.exe; do
        check "$exe in the zip is signed by the $3 and time-stamped" verified "$zipped/$exe" "$3" stamped
        check "$exe in the package is signed by the $3 and time-stamped" verified "$packed/$exe" "$3" stamped
        check "$exe is the same in the zip and in the package" cmp -s "$zipped/$exe" "$packed/$exe"
    done
}
unsigned_copy() { osslsigncode remove-signature -in "$1" -out "$2" >/dev/null 2>&1; }

if [ "$(basename "$build")" = windows ]; then first=$(dirname "$build"); else first=$work/first; fi
second=$work/rebuild
version=$(sed -n 's/^#define QUELVO_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/version.h")

refused() { # STATUS DESCRIPTION LOG MESSAGE: release.sh failed, said MESSAGE and built nothing
    check "$2: release.sh fails" test "$1" != 0
    check "$2: it says \"$4\"" grep -q "$4" "$3"
    check "$2: it builds nothing" test ! -e "$work/refused"
}
echo "== wrong settings, refused before anything is built, then a wrong password and a wrong PIN"
signed "$work/refused" "$keys/missing" "$work/refused.log"
refused $? "a certificate without its password file" "$work/refused.log" \
    "QUELVO_SIGNING_PASSWORD_FILE.*is not a readable file"
QUELVO_SIGNING_PKCS11_KEY=$token_key signed "$work/refused" "$keys/password" "$work/refused-two.log"
refused $? "a PKCS#12 file and a token key" "$work/refused-two.log" "name two keys: give one"
signed_by_token "$work/refused" "$keys/pin" "$keys/ec-chain.pem" "$work/refused-ec.log"
refused $? "an EC certificate" "$work/refused-ec.log" "not RSA: Windows Smart App Control"
signed_by_token "$work/refused" "$keys/pin" "$keys/token-chain.pem" "$work/refused-module.log" \
    QUELVO_SIGNING_PKCS11_MODULE="$keys/missing.so"
refused $? "a module that cannot be read" "$work/refused-module.log" "QUELVO_SIGNING_PKCS11_MODULE.*is not a readable"
signed_by_token "$work/refused" "$keys/pin" "$keys/token-chain.pem" "$work/refused-uri.log" \
    QUELVO_SIGNING_PKCS11_KEY=signer
refused $? "a key named otherwise than by a PKCS#11 URI" "$work/refused-uri.log" "is not a PKCS#11 URI"
signed_by_token "$work/refused" "$keys/pin" "$keys/token-chain.pem" "$work/refused-url.log" \
    QUELVO_RELEASE_URL="http://downloads.example/quelvo 2.0/"
refused $? "a download address that is not https or has a space" "$work/refused-url.log" \
    "QUELVO_RELEASE_URL.*is not an https:// address"
signed "$first" "$keys/wrong-password" "$work/wrong.log"
check "release.sh fails with a wrong password" test $? != 0
check "it says the exe could not be signed" grep -q "could not sign .*quelvo.exe" "$work/wrong.log"
signed_by_token "$first" "$keys/wrong-password" "$keys/token-chain.pem" "$work/wrong-pin.log"
check "release.sh fails with a wrong PIN" test $? != 0
check "it says the exe could not be signed, and why" grep -q "PIN incorrect" "$work/wrong-pin.log"

echo "== a signed, time-stamped release in $first"
signed "$first" "$keys/password" "$work/first.log" "http://127.0.0.1:$(cat port)"
check "release.sh succeeds (log: $work/first.log)" test $? = 0
check "it says that no manifest was written without a download address" \
    grep -q "no winget or Scoop manifest: QUELVO_RELEASE_URL" "$work/first.log"
check "and writes none" test ! -e "$first/windows/dist/winget" -a ! -e "$first/windows/dist/scoop"
dist=$first/windows/dist
check "the checksums are those of the zip and the package as shipped" \
    bash -c "cd '$dist' && sha256sum -c quelvo-$version.sha256"
signatures "$dist" "$work/unpacked/first" "test signer"

echo "== the same commit released again in $second, signed with the token's key: the same exes, and manifests"
signed_by_token "$second" "$keys/pin" "$keys/token-chain.pem" "$work/second.log" \
    QUELVO_TIMESTAMP_URL="http://127.0.0.1:$(cat port)" QUELVO_RELEASE_URL=https://downloads.example/quelvo/2.0.0/
check "release.sh succeeds in a second build folder (log: $work/second.log)" test $? = 0
dist2=$second/windows/dist
check "its checksums are those of the zip and the package" bash -c "cd '$dist2' && sha256sum -c quelvo-$version.sha256"
signatures "$dist2" "$work/unpacked/second" "token signer"
check "it says where the manifests are" grep -q "== winget and Scoop manifests for https://downloads.example/" \
    "$work/second.log"
# yamllint's own rules, strict, but for the length of a line: an address, a hash or a text cannot be broken.
check "the winget manifests pass yamllint" yamllint -s -d "{extends: default, rules: {line-length: disable}}" \
    "$dist2/winget"
for code in ProductCode UpgradeCode; do
    value=$(msiinfo export "$dist2/quelvo-$version.msi" Property | sed -n "s/^$code\t\(.*\)\r\$/\1/p")
    check "the package's $code $value is the winget manifest's" \
        grep -q "^ *\(- \)\?$code: '$value'\$" "$dist2/winget/Tarnix.Quelvo.installer.yaml"
done
manifest_hashes() { # DIST: "SHA-256  FILE" for each download that the manifests name, as sha256sum -c reads them
    /usr/bin/python3 - "$1" <<'EOF'
import glob, json, sys, yaml
with open(glob.glob(f"{sys.argv[1]}/winget/*.installer.yaml")[0]) as winget:
    named = [(i["InstallerUrl"], i["InstallerSha256"]) for i in yaml.safe_load(winget)["Installers"]]
with open(f"{sys.argv[1]}/scoop/quelvo.json") as scoop:
    download = json.load(scoop)["architecture"]["64bit"]
    named.append((download["url"], download["hash"]))
for url, digest in named:
    print(f"{digest.lower()}  {url.rsplit('/', 1)[1]}")
EOF
}
manifest_hashes "$dist2" >"$work/manifests.sha256"
check "the manifests name the package, the zip and the zip again" test "$(cut -c67- "$work/manifests.sha256" |
    tr '\n' ' ')" = "quelvo-$version.msi quelvo-$version.zip quelvo-$version.zip "
check "with the downloads' hashes, read by sha256sum" bash -c "cd '$dist2' && sha256sum -c '$work/manifests.sha256'"
# The release's own check of its manifests, on copies with a fault each: a zip that is not the one named, a version
# that YAML reads as a number.
broken() { # NAME: a copy of the second release's downloads and manifests, in $work/unpacked/NAME
    mkdir -p "$work/unpacked/$1"
    cp -r "$dist2/winget" "$dist2/scoop" "$dist2/quelvo-$version.msi" "$dist2/quelvo-$version.zip" "$work/unpacked/$1"
}
faults() { /usr/bin/python3 "$here/../../packaging/check_manifests.py" "$work/unpacked/$1" >"$work/$1.log"; }
broken tampered && printf x >>"$work/unpacked/tampered/quelvo-$version.zip"
faults tampered
check "the release's check finds a zip other than the one named (by winget and by Scoop)" \
    test $? != 0 -a "$(grep -c "the hash is not that of quelvo-$version.zip" "$work/tampered.log")" = 2
broken number && sed -i "s/^PackageVersion: .*/PackageVersion: 2.0/" "$work/unpacked/number/winget/Tarnix.Quelvo.yaml"
faults number
check "and a version that is not text" test $? != 0 -a "$(grep -c "PackageVersion = 2.0 breaks" "$work/number.log")" = 1
for exe in quelvo.exe quelvo-cli.exe; do
    unsigned_copy "$work/unpacked/first/zip/quelvo-$version/$exe" "$work/unpacked/first-$exe"
    unsigned_copy "$dist2/quelvo-$version/$exe" "$work/unpacked/second-$exe"
    sha256sum "$work/unpacked/first-$exe" "$work/unpacked/second-$exe"
    check "$exe: both releases' exes are equal without their signatures" \
        cmp "$work/unpacked/first-$exe" "$work/unpacked/second-$exe"
    check "$exe: without its signature it is the exe as linked, checksum included" \
        cmp "$work/unpacked/first-$exe" "$first/windows/$exe"
done

echo "$failures failure(s)"
((failures == 0))
