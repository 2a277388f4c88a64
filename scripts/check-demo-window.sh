#!/usr/bin/env bash
# Run by check-demo.sh inside an X display: demo.sh must open the window and still be running
# when a 10 s time-out ends, and the display must not be blank.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=10
timeout "$seconds" ./scripts/demo.sh >out/demo-window.log 2>&1 &
demo=$!
shown=""
for _ in $(seq 1 $((seconds * 10 - 20))); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"ORVEN'; then shown=yes; break; fi
  sleep 0.1
done
sleep 1
xwd -root -silent >out/demo-window.xwd 2>/dev/null
colours=$(xwdtopnm out/demo-window.xwd 2>/dev/null | ppmhist -noheader 2>/dev/null | wc -l)
wait "$demo"
status=$?
fail=""
[ -n "$shown" ] || fail="no window titled ORVEN appeared"
[ "$status" -eq 124 ] || fail="demo.sh ended with status $status before the time-out"
[ "$colours" -ge 8 ] || fail="the screen is blank ($colours colours)"
if [ -n "$fail" ]; then
  cat out/demo-window.log
  echo "check-demo: $fail"
  exit 1
fi
echo "check-demo: the window ran for ${seconds} s on the demo radio; the screen shows $colours colours"
