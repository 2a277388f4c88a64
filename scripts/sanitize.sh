#!/usr/bin/env bash
# Runs every test under AddressSanitizer + UndefinedBehaviorSanitizer, and the threaded tests
# (events, engines, runner, simulated radio, HID device, fleet, fault soak, the window's clone
# commands) under ThreadSanitizer. Qt itself is not instrumented; tests/tsan-qt.supp ignores calls made inside it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-asan -G Ninja -DORVEN_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

cmake -S . -B build-tsan -G Ninja -DORVEN_TSAN=ON >/dev/null
cmake --build build-tsan -j"$(nproc)" --target orven-core-tests orven-ui-tests orven-cli
export TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan-qt.supp"
build-tsan/tests/orven-core-tests \
  --gtest_filter='*Event*:*Engine*:*Runner*:*Pty*:*HidDevice*:*HidBackend*:CliClone*:*Fleet*'
# The soak's threads too, on a shorter run: the checker slows every step.
ORVEN_SOAK_EXCHANGES=600 build-tsan/tests/orven-core-tests --gtest_filter='FaultSoak*'
build-tsan/tests/orven-ui-tests
