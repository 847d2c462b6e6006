# The one preparation of a Wine prefix of ours: for the scripts (scripts/env.sh) and for the tests that need a
# prefix of their own. Sourced; defines functions only and sets no shell option, so each step reports its failure
# through its status whatever options the caller runs with.

# A folder is ours to erase only if it carries OWNED_MARK, written before Wine first fills it.
OWNED_MARK=.quelvo-prefix
READY_MARK=.quelvo-ready

# FOLDER becomes the prefix of every later Wine command. Wine answers every "file associations changed" notice by
# starting winemenubuilder, which copies the prefix's associations into the Linux desktop of the user running us:
# Windows does no such thing, and it costs about 100 ms a switch here.
use_wine_prefix() {
    export WINEPREFIX=$1
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
}

claim_prefix_folder() {
    if [ -f "$WINEPREFIX/$OWNED_MARK" ]; then
        rm -rf "$WINEPREFIX" # ours, left half made by an interrupted preparation
    elif [ -n "$(ls -A "$WINEPREFIX" 2>/dev/null)" ]; then
        echo "$WINEPREFIX is not empty and was not made by these scripts; it is left alone." >&2
        echo "Remove it yourself, or name another folder with QUELVO_WINEPREFIX or QUELVO_TEST_WINEPREFIX." >&2
        return 1
    fi
    mkdir -p "$WINEPREFIX" && touch "$WINEPREFIX/$OWNED_MARK"
}

# Makes $WINEPREFIX once (a finished one is kept): 64-bit, its programs all in one virtual desktop, so that title
# bars, a taskbar and the notification area are drawn and can be clicked. A first boot that fails is shown with
# Wine's own last words and made again once from an empty folder: a boot on a busy machine has failed without a
# cause the next one met.
prepare_wine_prefix() {
    [ -f "$WINEPREFIX/$READY_MARK" ] && return 0
    local attempt log=$WINEPREFIX/.quelvo-wineboot.log
    for attempt in 1 2; do
        claim_prefix_folder || return 1
        if boot_wine_prefix "$log"; then
            touch "$WINEPREFIX/$READY_MARK"
            return 0
        fi
        echo "Wine could not make the prefix $WINEPREFIX (attempt $attempt of 2); the end of $log:" >&2
        tail -n 20 "$log" | sed 's/^/    /' >&2
        # A new prefix takes about 500 MB: a full disk is the first thing to rule out.
        echo "    free on its disk: $(df -Pk "$WINEPREFIX" | awk 'NR == 2 {print int($4 / 1024) " MB"}')" >&2
        wineserver -k >/dev/null 2>&1 || true # what the failed boot left running
        wineserver -w >/dev/null 2>&1 || true
        cp "$log" "$WINEPREFIX.failed-boot-$attempt.log" 2>/dev/null || true # the folder is made again
    done
    return 1
}

# Each step's command and status go to the log: it says which one failed and how.
boot_wine_prefix() {
    local log=$1
    : >"$log"
    logged "$log" env WINEARCH=win64 wineboot --init && logged "$log" wineserver -w &&
        logged "$log" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
        logged "$log" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f &&
        logged "$log" wineserver -w
}

logged() {
    local log=$1 status=0
    shift
    echo "\$ $*" >>"$log"
    "$@" >>"$log" 2>&1 || status=$?
    [ $status -eq 0 ] || echo "(exit code $status)" >>"$log"
    return $status
}

# One Wine server for the whole run, kept up between programs: without it the server, its services and the
# desktop end after each test program and start again for the next one. Debian's wrapper passes -p0 before our -p;
# the later one wins. A server left by a run that was killed outright is ended first (the prefix is ours).
# It ends with end_wineserver (and every program of the prefix with it; the registry is saved first).
WINESERVER_PREFIX=
start_wineserver() {
    wineserver -k >/dev/null 2>&1 || true # none running: nothing to end
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p || { echo "the Wine server did not start for $WINEPREFIX" >&2; return 1; }
    WINESERVER_PREFIX=$WINEPREFIX
    # Its desktop and services come up with the first program; started now, not inside the first test.
    wine cmd /c exit >/dev/null 2>&1 || { echo "Wine does not start a program in $WINEPREFIX" >&2; return 1; }
}

end_wineserver() {
    [ -n "$WINESERVER_PREFIX" ] || return 0
    WINEPREFIX=$WINESERVER_PREFIX wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$WINESERVER_PREFIX wineserver -w >/dev/null 2>&1 || true
    WINESERVER_PREFIX=
    return 0
}
