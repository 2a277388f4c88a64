#!/usr/bin/env bash
# Installs what the project needs, builds the programs and runs the main job on the built-in demo
# radio: the desktop program on a machine with a display, else the same read from the
# command line (the settings are read into out/demo.dat and printed).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build="${ORVEN_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j"$(nproc)" --target orven-cli orven-clone
build="$(cd "$build" && pwd)"
mkdir -p out
cd out
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/ui/orven-clone" --demo
fi
echo "No display: reading the demo radio from the command line instead of the desktop program."
"$build/orven-cli" --port demo read demo.dat
"$build/orven-cli" show demo.dat
