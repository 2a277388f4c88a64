#!/usr/bin/env bash
# Installs what the project needs, builds everything and runs every test, the web edition's too.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build="${ORVEN_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DORVEN_WERROR=ON ${ORVEN_CMAKE_ARGS:-}
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
# The web edition: built from the same core, its bindings tested under node and its page in
# Chromium, both against this build's orven-cli.
ORVEN_CLI="$PWD/$build/orven-cli" ./scripts/web.sh --test
