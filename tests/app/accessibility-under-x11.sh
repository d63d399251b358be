#!/usr/bin/env bash
# The real application read as a screen reader reads it: under the X server of
# run-under-xvfb.sh, with openbox and trayer as the desktop, on a private session bus that
# carries the accessibility bus, the app with its accessibility bridge always on.
#   accessibility-under-x11.sh <vantora binary> <python walk script>
# Exits 0 on success, 1 on failure, 77 when a component it needs is missing.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/stoppable.sh"

app=$1
walk=$2
for tool in xdotool xwininfo trayer openbox xprop dbus-daemon; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: accessibility: $tool is not installed" >&2; exit 77; }
done
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "SKIP: accessibility: at-spi2-core is not installed" >&2; exit 77; }
# The reader's side: the distribution's python with its AT-SPI binding.
python=
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c 'import pyatspi' 2>/dev/null; then python=$candidate; break; fi
done
[ -n "$python" ] || { echo "SKIP: accessibility: python3-pyatspi is not installed" >&2; exit 77; }

home=$(mktemp -d)
mkdir -p "$home/runtime" "$home/config" "$home/data"
chmod 700 "$home/runtime"
pids=()
cleanup() {
  # The accessibility bus and its registry are the launcher's children.
  for pid in "${pids[@]}"; do
    for child in $(pgrep -P "$pid" 2>/dev/null); do kill "$child" 2>/dev/null; done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$home"
}
trap cleanup EXIT

export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
export HOME="$home" ASAN_OPTIONS=detect_leaks=0 VANTORA_COLOR_SCHEME=light
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || { echo "accessibility: no session bus" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | head -n1)
pids+=($(echo "$bus" | sed -n 2p))

"$launcher" --launch-immediately >/dev/null 2>&1 &
pids+=($!)
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype request --height 24 --SetDockType false >/dev/null 2>&1 &
pids+=($!)
# For a walk that takes the tray away.
export VANTORA_TEST_TRAY_PID=$!

# The walk starts the app itself (its PID goes in $home/app.pid) and drives it.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$python" "$walk" "$app" "$home"
status=$?
if [ -f "$home/app.pid" ]; then
  pids=("$(cat "$home/app.pid")" "${pids[@]}")
fi
if [ "$status" -ne 0 ]; then
  for log in app orca; do
    [ -f "$home/$log.log" ] || continue
    echo "--- $log log" >&2
    tail -n 40 "$home/$log.log" >&2
  done
fi
exit "$status"
