#!/usr/bin/env bash
# Runs a test program against a private Xvfb server: starts Xvfb on a display number it
# picks itself (so tests may run side by side), exports DISPLAY, runs "$@", and stops the
# server again. Exits 77 (skipped) when Xvfb is missing or does not come up.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/stoppable.sh"

command -v Xvfb >/dev/null 2>&1 || { echo "SKIP: run-under-xvfb: Xvfb is not installed" >&2; exit 77; }

workdir=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$workdir"
}
trap cleanup EXIT

# -displayfd writes the display number once the server accepts connections; -noreset keeps
# it from resetting (and refusing connections meanwhile) whenever its last client leaves.
# XVFB_ARGS adds options of the caller's (as "-ardelay 60000", no key repeat in a test's time).
# shellcheck disable=SC2086
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x800x24 ${XVFB_ARGS:-} 3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!

for _ in $(seq 100); do
  if grep -q . "$workdir/display" 2>/dev/null; then
    break
  fi
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "SKIP: run-under-xvfb: Xvfb exited early:" >&2
    cat "$workdir/xvfb.log" >&2
    xvfb_pid=
    exit 77
  fi
  sleep 0.1
done
display=$(head -n1 "$workdir/display")
if [ -z "$display" ]; then
  echo "SKIP: run-under-xvfb: Xvfb did not report a display" >&2
  exit 77
fi

export DISPLAY=":$display"
unset WAYLAND_DISPLAY
run_stoppable "$@"
