#!/bin/sh
# Runs a command with the Wine prefix's screen at another resolution, then puts back the value it found, however
# the command ends: a prefix left at another DPI would make later runs fail or pass for the wrong reason.
#   at_dpi.sh DPI COMMAND [ARGUMENTS...]     (COMMAND sees QUELVO_EXPECT_DPI=DPI)
key='HKCU\Control Panel\Desktop'
dpi=$1
shift
found=$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" {print $3}')

restore() {
    trap - EXIT INT TERM HUP
    [ -n "${child:-}" ] && kill "$child" 2>/dev/null && wait "$child"
    if [ -n "$found" ]; then
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$((found))" /f >/dev/null 2>&1
    else
        wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1
    fi
}
trap restore EXIT
trap 'exit 130' INT TERM HUP

wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
# In the background and waited for, so that a signal is handled at once rather than when the command ends.
QUELVO_EXPECT_DPI=$dpi "$@" &
child=$!
wait "$child"
status=$?
child=
exit $status
