#!/usr/bin/env bash
# Installs what the project needs, builds the tools and runs the main job on the built-in demo
# radio: its settings are read into out/demo.dat and printed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build="${ORVEN_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j"$(nproc)" --target orven-cli
mkdir -p out
cd out
"../$build/orven-cli" --port demo read demo.dat
"../$build/orven-cli" show demo.dat
