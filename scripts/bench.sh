#!/usr/bin/env bash
# Runs the benchmark under Wine and prints its figures: switch latency, the click beside the fair floor's (and where
# its time goes, step by step), the command line against reg import, start-up (and where its time goes, phase by
# phase), memory and idle CPU time.
#   bash scripts/bench.sh [DPI]     (DPI: the prefix's dots per inch while it runs; put back afterwards)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
# A prefix of its own: a Quelvo left running by run.sh, or a test run of this clone, holds the single-instance mutex
# of its own prefix only, and the benchmark's keys and clicks stay on its own display.
use_bench_prefix
if [ -z "${QUELVO_BENCH_PREPARED:-}" ]; then
    end_environment_on_exit
    prepare_environment
    build_windows >/dev/null
    if [ $# -ge 1 ]; then
        # Measured again under at_dpi.sh, in this display, prefix and Wine server.
        QUELVO_BENCH_PREPARED=1 QUELVO_DISPLAY=$DISPLAY sh "$REPO_ROOT/tests/e2e/at_dpi.sh" "$1" bash "$0"
        exit
    fi
fi
cd "$BUILD_ROOT/windows"
folder="Z:$(pwd | tr / '\\')"

echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(wine --version)"
wine quelvo_bench.exe "$folder" 2>/dev/null | tr -d '\r'
wine quelvo_startup_phases.exe 2>/dev/null | tr -d '\r'
wine quelvo_click_phases.exe 2>/dev/null | tr -d '\r'

# CPU time that Wine's own process for quelvo.exe spends, read from /proc: from inside Wine the time of a
# running thread of another process is not counted.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
# The quelvo.exe that this benchmark started, not any other one on the machine: Wine hands the environment down to
# the processes it starts, so a token of our own marks it.
token="quelvo-bench-$$-$RANDOM"
started_pid() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        grep -qzx "QUELVO_BENCH_TOKEN=$token" "$environ" 2>/dev/null || continue
        head -z -n 1 "/proc/$pid/cmdline" 2>/dev/null | tr -d '\0' | grep -qE '(^|[\\/])quelvo\.exe$' && echo "$pid" && return
    done
}
echo "idle, 10 s each (clock ticks of $(getconf CLK_TCK) per second):"
QUELVO_BENCH_TOKEN=$token wine quelvo_bench.exe idle "$folder" 2>/dev/null | while read -r mark; do
    mark=${mark%$'\r'}
    case "$mark" in
    SHOWN)
        pid=$(started_pid)
        [ -n "$pid" ] || { echo "  the started quelvo.exe was not found" >&2; exit 1; }
        shown=$(cpu_ticks "$pid")
        echo "  resident set after start-up: $(rss_kb "$pid") KB"
        ;;
    TRAY) tray=$(cpu_ticks "$pid"); echo "  shown:   $((tray - shown)) ticks (target 0)" ;;
    DONE) echo "  in tray: $(($(cpu_ticks "$pid") - tray)) ticks (target 0)" ;;
    esac
done
