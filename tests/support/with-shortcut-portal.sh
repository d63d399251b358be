#!/usr/bin/env bash
# Runs "$@" on a private session bus on which the desktop's shortcut portal starts on demand:
# xdg-desktop-portal with its KDE backend, and KDE's key daemon, which grabs the keys on the X
# server of DISPLAY (run under run-under-xvfb.sh). Everything the bus starts inherits a
# private home and XDG folders, so nothing touches the real ones, and is ended afterwards by
# its PID; the System Settings the portal opens is a stand-in that opens no window. Exits 77
# (skipped) when a component is not installed.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/stoppable.sh"

. "$(dirname "$0")/key-daemon.sh"
for component in /usr/libexec/xdg-desktop-portal /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde; do
  [ -x "$component" ] || { echo "SKIP: with-shortcut-portal: $component is not installed" >&2; exit 77; }
done
key_daemon >/dev/null || { echo "SKIP: with-shortcut-portal: KDE's key daemon is not installed" >&2; exit 77; }
command -v dbus-daemon >/dev/null 2>&1 || { echo "SKIP: with-shortcut-portal: dbus-daemon is not installed" >&2; exit 77; }
[ -n "${DISPLAY:-}" ] || { echo "SKIP: with-shortcut-portal: no DISPLAY" >&2; exit 77; }
command -v xdotool >/dev/null 2>&1 || { echo "SKIP: with-shortcut-portal: xdotool is not installed" >&2; exit 77; }

# The X server gives its keyboard the keymap of the device that typed last, and tells every
# client so when the typing device changes: the key daemon then lets go of all its keys and
# grabs them again, and a shortcut typed meanwhile reaches the focused window instead. The
# tests type through XTest, so XTest's keyboard types once before the daemon can start, and
# the daemon never sees the keyboard change under it. xdotool returns once the server has
# taken the key.
xdotool key shift || { echo "with-shortcut-portal: xdotool could not type on $DISPLAY" >&2; exit 1; }

home=$(mktemp -d)
mkdir -p "$home/config" "$home/data" "$home/cache" "$home/runtime"
chmod 700 "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache"
export XDG_RUNTIME_DIR="$home/runtime" XDG_CURRENT_DESKTOP=KDE QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
offer_key_daemon
offer_settings_stand_ins "$home/bin" "$home/settings-opened"

bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || { echo "no session bus" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | head -n1)
bus_pid=$(echo "$bus" | sed -n 2p)

. "$(dirname "$0")/end-bus-clients.sh"

cleanup() {
  end_bus_clients
  kill "$bus_pid" 2>/dev/null
  rm -rf "$home"
}
trap cleanup EXIT

# The portal chooses its KDE backend by the desktop's name in its own environment; the program
# under test is told none, so that KDE's Qt plugin, where a Plasma desktop is installed, stays out.
run_stoppable env -u XDG_CURRENT_DESKTOP "$@"
