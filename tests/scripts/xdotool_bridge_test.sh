#!/usr/bin/env bash
# tests/e2e/with_xdotool.sh carries out a test's request, passes its status on, and leaves no process behind when
# the test ends or when the bridge itself is stopped. Wine and xdotool are stood in for, so this runs anywhere.
set -uo pipefail
bridge=$(cd "$(dirname "${BASH_SOURCE[0]}")/../e2e" && pwd)/with_xdotool.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

mkdir "$scratch/bin"
# The test program: "serve" asks for one xdotool command, waits for its acknowledgement and exits 3; "hang" waits.
cat >"$scratch/bin/wine" <<EOF
#!/bin/sh
folder=\$(printf '%s' "\${QUELVO_XDOTOOL_DIR#Z:}" | tr '\\\\' /)
touch "$scratch/started"
[ "\$1" = hang ] && exec sleep 60
echo "7 mousemove 5 6" >"\$folder/request"
for _ in \$(seq 100); do [ "\$(cat "\$folder/ack" 2>/dev/null)" = 7 ] && exit 3; sleep 0.05; done
exit 1
EOF
printf '#!/bin/sh\necho "$*" >>"%s/xdotool.log"\n' "$scratch" >"$scratch/bin/xdotool"
chmod +x "$scratch/bin"/*

# Starts the bridge in a session of its own, whose processes are then exactly the bridge's.
start() {
    rm -f "$scratch/started"
    PATH="$scratch/bin:$PATH" setsid sh "$bridge" "$1" 'Keyboard.*' &
    session=$!
}
left_over() { # the processes still in the bridge's session
    sleep 0.3
    ps -o pid=,args= -s "$session"
}

start serve
wait "$session"
[ $? -eq 3 ] || fail "the test's status 3 was not passed on"
[ "$(cat "$scratch/xdotool.log" 2>/dev/null)" = "mousemove 5 6" ] || fail "the request was not carried out"
[ -z "$(left_over)" ] || fail "processes left after the test ended: $(left_over)"

start hang
for _ in $(seq 100); do [ -f "$scratch/started" ] && break; sleep 0.05; done
started=$(date +%s)
kill -TERM "$session"
wait "$session"
[ $(($(date +%s) - started)) -lt 5 ] || fail "the stopped bridge waited for its test"
[ -z "$(left_over)" ] || fail "processes left after the bridge was stopped: $(left_over)"

[ "$failures" -eq 0 ] && echo "xdotool bridge: all cases passed"
exit "$((failures > 0))"
