#!/bin/sh
# at_dpi.sh puts back the DPI it found when its command fails and when it is interrupted, and removes the value
# when there was none. Runs in the tests' Wine prefix; leaves it at 96 dots per inch.
here=$(dirname "$0")
key='HKCU\Control Panel\Desktop'
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
logpixels() { wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" {print $3}'; }
set_logpixels() { wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }

# A command that fails: its status is passed on, the value is in force while it runs, and put back afterwards.
set_logpixels 100
inside=$(mktemp)
sh "$here/at_dpi.sh" 120 sh -c 'echo "$QUELVO_EXPECT_DPI" >"$1"; wine reg query "$2" /v LogPixels >>"$1"; exit 3' \
    sh "$inside" "$key"
status=$?
[ "$status" -eq 3 ] || fail "the command's status 3 came back as $status"
[ "$(head -n 1 "$inside")" = 120 ] || fail "the command was not told the DPI"
grep -q 'LogPixels.*0x78' "$inside" || fail "120 was not in force while the command ran"
rm -f "$inside"
[ "$(logpixels)" = "0x64" ] || fail "after a failed command LogPixels is $(logpixels), not 0x64 as found"

# Interrupted while its command runs: put back at once, not when the command would have ended (an hour later;
# the bound is far from both).
sh "$here/at_dpi.sh" 144 sleep 3600 &
runner=$!
deadline=$(($(date +%s) + 60))
until [ "$(logpixels)" = "0x90" ] || [ "$(date +%s)" -gt "$deadline" ]; do sleep 0.2; done
[ "$(logpixels)" = "0x90" ] || fail "144 was never in force"
started=$(date +%s)
kill -TERM "$runner"
wait "$runner"
[ $(($(date +%s) - started)) -lt 600 ] || fail "the interrupted run waited for its command"
[ "$(logpixels)" = "0x64" ] || fail "after an interruption LogPixels is $(logpixels), not 0x64 as found"

# No value before: none after.
wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1
sh "$here/at_dpi.sh" 120 true
[ -z "$(logpixels)" ] || fail "a value $(logpixels) was left where there was none"

set_logpixels 96
[ "$failures" -eq 0 ] && echo "at_dpi.sh: all cases passed"
exit "$((failures > 0))"
