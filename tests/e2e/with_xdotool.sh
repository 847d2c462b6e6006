#!/bin/sh
# Runs end-to-end tests that press keys and drag with xdotool. A Windows process under Wine cannot start a Linux
# program, so this loop does it for them: they write "<number> <xdotool arguments>" to the request file and wait
# for the number in the acknowledgement file.
#   with_xdotool.sh e2e_tests.exe GTEST_FILTER
exe=$1 filter=$2
folder=$(mktemp -d)
(
    while :; do
        if [ -f "$folder/request" ]; then
            read -r number arguments <"$folder/request"
            rm -f "$folder/request"
            # Wine hands the X focus to a window a moment after activating it; until then (PointerRoot) keys
            # would go to whatever lies under the pointer.
            case "$arguments" in key*)
                for _ in $(seq 1 100); do
                    xdotool getwindowfocus >/dev/null 2>&1 && break
                    sleep 0.03
                done
                sleep 0.3 ;;
            esac
            # shellcheck disable=SC2086 # the arguments are xdotool's own words
            xdotool $arguments
            echo "$number" >"$folder/ack.tmp" && mv "$folder/ack.tmp" "$folder/ack"
        fi
        sleep 0.02
    done
) &
helper=$!
QUELVO_XDOTOOL_DIR="Z:$(echo "$folder" | tr / '\\')" wine "$exe" --gtest_filter="$filter"
status=$?
kill "$helper"
rm -rf "$folder"
exit $status
