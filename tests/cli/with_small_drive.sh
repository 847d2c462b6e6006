#!/bin/sh
# Runs a command with a nearly full drive at hand: a 64 KB tmpfs linked as drive Q: of the Wine prefix and named in
# QUELVO_SMALL_DRIVE. Where none can be mounted (not root, no tmpfs, Q: taken) the command runs without it, and the
# test that needs it says it was skipped.
#   with_small_drive.sh COMMAND [ARGUMENTS...]
link="${WINEPREFIX:?}/dosdevices/q:"
mountpoint=$(mktemp -d)
mounted=
cleanup() {
    [ -n "$mounted" ] && rm -f "$link" && umount "$mountpoint"
    rmdir "$mountpoint"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
if [ ! -e "$link" ] && [ ! -L "$link" ] && mount -t tmpfs -o size=64k quelvo-small-drive "$mountpoint" 2>/dev/null; then
    mounted=1
    ln -s "$mountpoint" "$link"
    export QUELVO_SMALL_DRIVE=Q:
else
    echo "with_small_drive.sh: no small drive could be mounted" >&2
fi
"$@"
