#!/usr/bin/env bash
# Runs the Windows build's test suite N times in a row while two busy loops keep both cores loaded, and says which
# tests failed in each run. The closing line is "N passed, M failed" (runs, not tests).
#   bash scripts/stress.sh N
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
runs=${1:-}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 N   (N runs of the Windows suite, N >= 1)" >&2; exit 2; }
use_test_prefix

loads=()
stop_loads() {
    local pid
    for pid in "${loads[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    loads=()
}
trap 'status=$?; stop_loads; end_environment; exit $status' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

set -e
ensure_packages
require_package_tools
prepare_environment
echo "== Building once"
build_windows >/dev/null
keep_desktop_open
set +e

logs=$BUILD_ROOT/stress
mkdir -p "$logs"
for _ in 1 2; do
    (while :; do :; done) &
    loads+=($!)
done

passed=0 failed=0
for ((run = 1; run <= runs; run++)); do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    started=$(date +%s)
    ctest --test-dir "$BUILD_ROOT/windows" --output-on-failure >"$logs/run-$run.log" 2>&1
    status=$?
    took=$(($(date +%s) - started))
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        echo "run $run: passed in $took s"
    else
        failed=$((failed + 1))
        echo "run $run: FAILED in $took s (log: $logs/run-$run.log):"
        sed -n '/The following tests FAILED:/,$p' "$logs/run-$run.log" | grep -E '^[[:space:]]+[0-9]+ - ' ||
            echo "    no test named as failed; ctest's status $status"
    fi
done
stop_loads
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
