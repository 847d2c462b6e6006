#!/usr/bin/env bash
# The scripts' own safety, with Wine, xdotool and dpkg stood in for, so this runs in seconds, anywhere: the prefix
# preparation never erases a folder it did not make, whatever WINEPREFIX says; without wixl in PATH the test command
# and the release stop before building anything; the xdotool bridge ends with its test.
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

# A first boot that fails: Wine's own words are shown, and the prefix is made again from an empty folder.
mkdir -p "$scratch/flaky-bin"
printf '#!/bin/sh\nif [ ! -e "%s/booted-once" ]; then touch "%s/booted-once"; touch "$WINEPREFIX/debris"\n' \
    "$scratch" "$scratch" >"$scratch/flaky-bin/wineboot"
printf 'echo "err:wineboot: a cause only Wine knows" >&2; exit 3; fi\nexec "%s/bin/wineboot" "$@"\n' \
    "$scratch" >>"$scratch/flaky-bin/wineboot"
chmod +x "$scratch/flaky-bin/wineboot"
prepare tests QUELVO_TEST_WINEPREFIX="$scratch/flaky" PATH="$scratch/flaky-bin:$scratch/bin:$PATH" \
    >/dev/null 2>"$scratch/flaky.err" || fail "a boot that failed once was not made again: $(cat "$scratch/flaky.err")"
grep -q "a cause only Wine knows" "$scratch/flaky.err" || fail "the failed boot's own words were not shown"
grep -q "exit code 3" "$scratch/flaky.err" || fail "the failed boot's exit code was not shown"
[ -e "$scratch/flaky/debris" ] && fail "the second boot did not start from an empty folder"
[ -f "$scratch/flaky/.quelvo-ready" ] || fail "the prefix made on the second boot was not finished"

# /usr/bin without wixl; every package counts as installed, so that nothing is installed on the way.
mkdir "$scratch/usr-bin"
cp -s /usr/bin/* "$scratch/usr-bin/" 2>/dev/null
rm -f "$scratch/usr-bin/wixl" "$scratch/usr-bin/dpkg-query" "$scratch/usr-bin/apt-get"
printf '#!/bin/sh\necho "install ok installed"\n' >"$scratch/usr-bin/dpkg-query"
chmod +x "$scratch/usr-bin/dpkg-query"

for script in test release; do
    env PATH="$scratch/usr-bin" QUELVO_BUILD_ROOT="$scratch/build-$script" SOURCE_DATE_EPOCH=1 \
        timeout 60 bash "$repo/scripts/$script.sh" >"$scratch/$script.log" 2>&1
    status=$?
    [ "$status" -ne 0 ] || fail "$script.sh succeeded without wixl"
    grep -q "wixl not found in PATH, so the installer package cannot be built" "$scratch/$script.log" ||
        fail "$script.sh did not say why: $(cat "$scratch/$script.log")"
    [ ! -e "$scratch/build-$script/native" ] && [ ! -e "$scratch/build-$script/windows" ] ||
        fail "$script.sh built something first"
done

# The bridge (its requests are served under Wine by e2e_keyboard): its test program "hang" waits, any other exits 3.
# Each run has a session of its own, whose processes are then exactly the bridge's.
mkdir "$scratch/bridge-bin"
printf '#!/bin/sh\ntouch "%s/started"\n[ "$1" = hang ] && exec sleep 3600\nexit 3\n' "$scratch" >"$scratch/bridge-bin/wine"
chmod +x "$scratch/bridge-bin/wine"
bridge() { # exit|hang
    rm -f "$scratch/started"
    PATH="$scratch/bridge-bin:$PATH" setsid sh "$repo/tests/e2e/with_xdotool.sh" "$1" 'Keyboard.*' &
    session=$!
}
# What the bridge leaves behind lives on (its test program hangs for an hour); what ends on its own is gone in
# moments, so a minute tells the two apart under any load.
no_process_left() { # WHEN
    local left deadline=$(($(date +%s) + 60))
    while left=$(ps -o pid=,args= -s "$session") && [ -n "$left" ] && [ "$(date +%s)" -le "$deadline" ]; do
        sleep 0.1
    done
    [ -z "$left" ] || { fail "processes left $1: $left"; kill -- -"$session" 2>/dev/null; }
}

bridge exit
wait "$session"
[ $? -eq 3 ] || fail "the test's status 3 was not passed on"
no_process_left "after the test ended"

bridge hang
deadline=$(($(date +%s) + 60))
until [ -f "$scratch/started" ] || [ "$(date +%s)" -gt "$deadline" ]; do sleep 0.05; done
started=$(date +%s)
kill -TERM "$session"
wait "$session"
[ $(($(date +%s) - started)) -lt 600 ] || fail "the stopped bridge waited for its test"
no_process_left "after the bridge was stopped"

[ "$failures" -eq 0 ] && echo "scripts: all cases passed"
exit "$((failures > 0))"
