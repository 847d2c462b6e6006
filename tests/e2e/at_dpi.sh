#!/bin/sh
# Runs a command with the Wine prefix's screen at another resolution, then puts back the value it found, however
# the command ends: a prefix left at another DPI would make later runs fail or pass for the wrong reason.
#   at_dpi.sh DPI COMMAND [ARGUMENTS...]     (COMMAND sees QUELVO_EXPECT_DPI=DPI)
# When the value it must put back cannot be read, or put back, it says so and exits 1 (without running COMMAND).
key='HKCU\Control Panel\Desktop'
dpi=$1
shift

# The value as found, or "none" where the key holds no LogPixels. The whole key is listed: a listing without the
# key's own name is a failed read (reg printed nothing), never an absent value.
read_logpixels() {
    listing=$(wine reg query "$key" 2>&1 | tr -d '\r') || return 1
    printf '%s\n' "$listing" | grep -qi '^HKEY_CURRENT_USER\\Control Panel\\Desktop$' || return 1
    value=$(printf '%s\n' "$listing" | awk '$1 == "LogPixels" {print $2 " " $3}')
    case "$value" in
    "") echo none ;;
    "REG_DWORD 0x"[0-9a-fA-F]*) echo "$((${value#REG_DWORD }))" ;;
    *) return 1 ;;
    esac
}

if ! found=$(read_logpixels); then
    echo "at_dpi.sh: LogPixels under $key could not be read in $WINEPREFIX, so it could not be put back;" \
        "nothing was changed" >&2
    exit 1
fi

restore() {
    trap - EXIT INT TERM HUP
    [ -n "${child:-}" ] && kill "$child" 2>/dev/null && wait "$child"
    if [ "$found" = none ]; then
        wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 && [ "$(read_logpixels)" = none ]
    else
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$found" /f >/dev/null 2>&1 &&
            [ "$(read_logpixels)" = "$found" ]
    fi || {
        echo "at_dpi.sh: LogPixels could not be put back to $found in $WINEPREFIX" >&2
        exit 1
    }
}
trap 'status=$?; restore; exit $status' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

if ! wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1; then
    echo "at_dpi.sh: LogPixels could not be set to $dpi in $WINEPREFIX" >&2
    exit 1
fi
# In the background and waited for, so that a signal is handled at once rather than when the command ends.
QUELVO_EXPECT_DPI=$dpi "$@" &
child=$!
wait "$child"
status=$?
child=
exit $status
