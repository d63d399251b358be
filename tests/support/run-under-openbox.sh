#!/usr/bin/env bash
# Runs "$@" with openbox managing the windows of the X server in $DISPLAY (the one
# run-under-xvfb.sh starts). openbox composites nothing, so windows show as the X server
# alone draws them. Exits 77 (skipped) when openbox is missing or does not come up.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/stoppable.sh"

for tool in openbox xprop; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: run-under-openbox: $tool is not installed" >&2; exit 77; }
done

openbox --sm-disable >/dev/null 2>&1 &
openbox_pid=$!
cleanup() {
  kill "$openbox_pid" 2>/dev/null
  wait "$openbox_pid" 2>/dev/null
}
trap cleanup EXIT

# openbox is up once it names its check window on the root window.
for _ in $(seq 100); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    break
  fi
  if ! kill -0 "$openbox_pid" 2>/dev/null; then
    echo "SKIP: run-under-openbox: openbox exited early" >&2
    exit 77
  fi
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  { echo "SKIP: run-under-openbox: openbox did not come up" >&2; exit 77; }

run_stoppable "$@"
