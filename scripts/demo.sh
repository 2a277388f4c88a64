#!/usr/bin/env bash
# Installs what the project needs, builds the tools and runs the main job: a European default
# settings document is created and printed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build="${ORVEN_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j"$(nproc)" --target orven-cli
mkdir -p out
"$build/orven-cli" new out/demo.dat --model eur-int --country uk
"$build/orven-cli" show out/demo.dat
