#!/usr/bin/env bash
# Without wixl in PATH, the test command and the release stop at once with a message that names it, before anything
# is built: they never pass without the installer package. Runs in a second, on a PATH of /usr/bin without wixl.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

mkdir "$scratch/bin"
cp -s /usr/bin/* "$scratch/bin/" 2>/dev/null
rm -f "$scratch/bin/wixl" "$scratch/bin/dpkg-query" "$scratch/bin/apt-get"
# Every package counts as installed, so that nothing is installed (or found missing) on the way.
printf '#!/bin/sh\necho "install ok installed"\n' >"$scratch/bin/dpkg-query"
chmod +x "$scratch/bin/dpkg-query"

for script in test release; do
    env PATH="$scratch/bin" QUELVO_BUILD_ROOT="$scratch/build-$script" SOURCE_DATE_EPOCH=1 \
        timeout 60 bash "$repo/scripts/$script.sh" >"$scratch/$script.log" 2>&1
    status=$?
    [ "$status" -ne 0 ] || fail "$script.sh succeeded without wixl"
    grep -q "wixl not found in PATH, so the installer package cannot be built" "$scratch/$script.log" ||
        fail "$script.sh did not say why: $(cat "$scratch/$script.log")"
    [ ! -e "$scratch/build-$script/native" ] && [ ! -e "$scratch/build-$script/windows" ] ||
        fail "$script.sh built something first"
done

[ "$failures" -eq 0 ] && echo "without wixl: test.sh and release.sh refuse"
exit "$((failures > 0))"
