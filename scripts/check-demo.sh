#!/usr/bin/env bash
# Holds the README's main command to what it promises, as a user runs it on a fresh machine:
# without a display it reads the demo radio from the command line; under an X display it starts
# the desktop program on the demo radio and keeps it running. A screenshot of the display is kept
# in out/demo-window.xwd for a person to look at.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh >/dev/null

echo "check-demo: without a display"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY ./scripts/demo.sh >"$log" 2>&1 || { cat "$log"; echo "check-demo: demo.sh failed without a display"; exit 1; }
grep -q '^Read OK\.' "$log" && grep -q 'MMSI' "$log" || { cat "$log"; echo "check-demo: no read of the demo radio"; exit 1; }

echo "check-demo: with a display (xvfb-run)"
xvfb-run -a -s "-screen 0 1280x1024x24" ./scripts/check-demo-window.sh
echo "check-demo: both branches passed"
