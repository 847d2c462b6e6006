#!/usr/bin/env bash
# The scripts' prefix preparation never erases a folder it did not make, whatever WINEPREFIX says. Wine itself is
# replaced by stand-ins that only record which prefix they were given, so this runs in a second, anywhere.
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
for tool in wine wineserver; do
    printf '#!/bin/sh\necho "%s $WINEPREFIX" >>"%s/calls"\n' "$tool" "$scratch" >"$scratch/bin/$tool"
done
printf '#!/bin/sh\necho "wineboot $WINEPREFIX" >>"%s/calls"\nmkdir -p "$WINEPREFIX" && touch "$WINEPREFIX/system.reg"\n' \
    "$scratch" >"$scratch/bin/wineboot"
chmod +x "$scratch/bin"/*

# Runs the preparation as run.sh does (or, with "tests", as test.sh does) with the environment given.
prepare() {
    local which=$1
    shift
    env -u WINEPREFIX -u QUELVO_WINEPREFIX -u QUELVO_TEST_WINEPREFIX PATH="$scratch/bin:$PATH" \
        QUELVO_BUILD_ROOT="$scratch/build" "$@" bash -c '
        source "$0/scripts/env.sh"
        [ "$1" = tests ] && use_test_prefix
        prepare_wine_prefix && echo "$WINEPREFIX" >"$2/chosen"' "$repo" "$which" "$scratch"
}

# A user's own prefix, exported in their shell: untouched, and not used.
mkdir -p "$scratch/home/.wine"
echo "my installed programs" >"$scratch/home/.wine/user.reg"
for which in run tests; do
    rm -f "$scratch/chosen"
    prepare "$which" WINEPREFIX="$scratch/home/.wine" >/dev/null 2>&1 || fail "$which: preparation failed"
    [ -f "$scratch/home/.wine/user.reg" ] || fail "$which: the user's prefix was erased"
    grep -q "$scratch/home/.wine" "$scratch/calls" 2>/dev/null && fail "$which: Wine was run in the user's prefix"
    case "$which" in
    run) expected="$scratch/build/wineprefix" ;;
    tests) expected="$scratch/build/wineprefix-tests" ;;
    esac
    [ "$(cat "$scratch/chosen" 2>/dev/null)" = "$expected" ] || fail "$which: prefix $(cat "$scratch/chosen") != $expected"
    [ -f "$expected/.quelvo-ready" ] || fail "$which: $expected was not prepared"
done

# A folder named through the project's own variable that holds something else: refused, left as it was.
mkdir -p "$scratch/elsewhere"
echo "a file" >"$scratch/elsewhere/notes.txt"
prepare run QUELVO_WINEPREFIX="$scratch/elsewhere" >/dev/null 2>&1 && fail "a foreign folder was accepted"
[ -f "$scratch/elsewhere/notes.txt" ] || fail "a foreign folder named by QUELVO_WINEPREFIX was erased"

# Our own prefix left half made (marked as ours, never finished) is made again.
mkdir -p "$scratch/half"
touch "$scratch/half/.quelvo-prefix" "$scratch/half/leftover"
prepare tests QUELVO_TEST_WINEPREFIX="$scratch/half" >/dev/null 2>&1 || fail "our half-made prefix was refused"
[ -e "$scratch/half/leftover" ] && fail "our half-made prefix was not made again"
[ -f "$scratch/half/.quelvo-ready" ] || fail "our half-made prefix was not finished"

[ "$failures" -eq 0 ] && echo "wine prefix preparation: all cases passed"
exit "$((failures > 0))"
