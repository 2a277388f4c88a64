#!/usr/bin/env bash
# Measures the figures of docs/performance.md again and prints them as Markdown: fast transfer
# against the ideal client at 9600 and 115200 baud and on USB, with the machine as it is and
# with one more process keeping a core busy; where the time of one serial exchange goes; and
# what the backup costs a write. Run it on an idle machine for the idle figures.
#   scripts/measure-performance.sh [OUT.md]     (REPEAT=N turns per row, 5 by default;
#                                                PRODUCT=1 adds the product's timing, about 10 min more;
#                                                ORVEN_BENCH=path measures with that orven-bench as it is)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ORVEN_BUILD_DIR:-build}"
out="${1:-/dev/stdout}"
repeat="${REPEAT:-5}"
timings=fast
[ "${PRODUCT:-0}" = 1 ] && timings=product,fast
bench="${ORVEN_BENCH:-}"
if [ -z "$bench" ]; then
    cmake -S . -B "$build" -G Ninja >/dev/null
    cmake --build "$build" --target orven-bench -j2 >/dev/null
    bench="$PWD/$build/orven-bench"
fi
bench="$(realpath "$bench")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

{
    echo "Measured $(date '+%Y-%m-%d %H:%M') on $(nproc) cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)."
    for busy in 0 1; do
        echo
        echo "### Fast transfer against the ideal client, $busy busy process(es) beside it"
        echo
        "$bench" --links 9600,115200,usb --timings "$timings" --repeat "$repeat" --busy "$busy" --markdown table.md >&2
        cat table.md
        echo
        echo "### One serial exchange, $busy busy process(es) beside it"
        echo
        "$bench" --breakdown 9600,115200 --exchanges 300 --busy "$busy"
    done
    echo
    echo "### A write with and without its backup"
    echo
    "$bench" --ops write,backed-up-write --links 9600,115200,usb --timings "$timings" --repeat 3 --markdown table.md >&2
    cat table.md
    echo
    echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)."
} >"$out"
