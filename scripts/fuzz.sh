#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for a while.
# Usage: scripts/fuzz.sh [seconds per target]   (default 30)
# ORVEN_FUZZ_TARGETS="serial_receive usb_reply" limits the run to those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
seconds="${1:-30}"
build="${ORVEN_FUZZ_BUILD_DIR:-build-fuzz}"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DORVEN_FUZZ=ON -DORVEN_GUI=OFF -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
status=0
targets="${ORVEN_FUZZ_TARGETS:-settings_file image_decode serial_receive usb_reply state_file json_import channel_csv zip_read}"
for target in $targets; do
  work="$build/corpus/$target"
  mkdir -p "$work" "$build/findings/$target"
  cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  binary="$build/fuzz/fuzz_$target"
  if [ ! -x "$binary" ]; then echo "fuzz_$target was not built"; status=1; continue; fi
  echo "fuzz_$target: ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/findings/$target/" -print_final_stats=1 "$work" \
        >"$build/fuzz_$target.log" 2>&1; then
    echo "fuzz_$target found a fault:"; tail -n 40 "$build/fuzz_$target.log"; status=1
  else
    grep -E '^stat::number_of_executed_units|^#.*DONE' "$build/fuzz_$target.log" | tail -n 2
  fi
done
exit $status
