#!/bin/sh
# Runs end-to-end tests that press keys and drag with xdotool. A Windows process under Wine cannot start a Linux
# program, so this loop does it for them: they write "<number> <xdotool arguments>" to the request file and wait
# for the number in the acknowledgement file. The loop ends with the test, however the test or this script ends.
#   with_xdotool.sh e2e_tests.exe GTEST_FILTER
exe=$1 filter=$2
folder=$(mktemp -d)
helper='' test=''

finish() {
    trap - EXIT INT TERM HUP
    [ -n "$test" ] && kill "$test" 2>/dev/null && wait "$test"
    # Told to stop rather than killed, so that no xdotool or sleep of its own outlives it.
    rm -f "$folder/running"
    [ -n "$helper" ] && wait "$helper"
    rm -rf "$folder"
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

# $$ is this script's own process in the loop's subshell too: killed outright, it leaves the loop to end itself.
touch "$folder/running"
(
    while [ -f "$folder/running" ] && kill -0 $$ 2>/dev/null; do
        if [ -f "$folder/request" ]; then
            read -r number arguments <"$folder/request"
            focus=$(sed -n 's/^focus \([0-9]*\)\r*$/\1/p' "$folder/request")
            rm -f "$folder/request"
            # Wine hands the X focus to a window a moment after activating it; until then keys would go to the
            # window that had it, or (PointerRoot) to whatever lies under the pointer. The test names the X window
            # of its foreground window; keys wait until it has the focus (at most a minute, then they go anyway
            # and the test sees what they did).
            case "$arguments" in key*)
                deadline=$(($(date +%s) + 60))
                until if [ "${focus:-0}" != 0 ]; then [ "$(xdotool getwindowfocus 2>/dev/null)" = "$focus" ]
                    else xdotool getwindowfocus >/dev/null 2>&1; fi || [ "$(date +%s)" -gt "$deadline" ]; do
                    sleep 0.03
                done ;;
            esac
            # shellcheck disable=SC2086 # the arguments are xdotool's own words
            xdotool $arguments
            echo "$number" >"$folder/ack.tmp" && mv "$folder/ack.tmp" "$folder/ack"
        fi
        sleep 0.02
    done
) &
helper=$!
# In the background and waited for, so that a signal is handled at once rather than when the test ends.
QUELVO_XDOTOOL_DIR="Z:$(echo "$folder" | tr / '\\')" wine "$exe" --gtest_filter="$filter" &
test=$!
wait "$test"
status=$?
test=''
exit $status
