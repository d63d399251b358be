#!/usr/bin/env bash
# Runs "$@" inside a GNOME Shell session of its own: headless, Wayland with XWayland, and the
# AppIndicator extension as the tray, as a GNOME desktop has them. Everything is private: the
# session and system buses, HOME, the XDG folders and the runtime folder. "$@" gets DISPLAY,
# XAUTHORITY, WAYLAND_DISPLAY, both bus addresses and GNOME_SHELL_LOG (the file of what the
# shell says). Ends only what it started. Exits 77 (skipped) when GNOME Shell, its tray
# extension or XWayland is missing, or when the session does not come up.
#   run-in-gnome-shell.sh --without-tray …   GNOME as it comes: no tray extension, no tray.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/stoppable.sh"

screen=1600x1000
tray=ubuntu-appindicators@ubuntu.com
if [ "${1:-}" = --without-tray ]; then
  tray=
  shift
fi
here=$(cd "$(dirname "$0")" && pwd)

skip() {
  echo "SKIP: run-in-gnome-shell: $*" >&2
  exit 77
}
for tool in gnome-shell Xwayland dbus-daemon gsettings gdbus; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
[ -z "$tray" ] || [ -d "/usr/share/gnome-shell/extensions/$tray" ] || skip "the AppIndicator extension is not installed"

# XWayland puts its socket there, and mutter ends when it cannot (a fresh root has no such
# folder); X servers make it shared and sticky, as here.
[ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix 2>/dev/null
[ "$(stat -c %a /tmp/.X11-unix)" = 1777 ] || skip "/tmp/.X11-unix is not shared and sticky (1777), which XWayland needs"

work=$(mktemp -d)
# Each started process leads a process group of its own: the buses' groups hold the services
# they start on demand (settings, portals, keyring), the shell's group holds XWayland.
groups=()
shell=
x_display=
end_groups() {
  local group
  for group in "$@"; do
    kill -TERM -- "-$group" 2>/dev/null
  done
  for group in "$@"; do
    for _ in $(seq 30); do
      kill -0 -- "-$group" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$group" 2>/dev/null
  done
}
# Ended with the shell, XWayland leaves the locks and sockets of its displays behind (the
# public one and the one for the shell's own services); each lock names the shell's pid, which
# tells them from any other X server's.
remove_x_locks() {
  local lock display
  [ -n "$shell" ] || return 0
  for lock in /tmp/.X*-lock; do
    [ "$(tr -d ' ' 2>/dev/null <"$lock")" = "$shell" ] || continue
    display=${lock#/tmp/.X}
    display=${display%-lock}
    rm -f "$lock" "/tmp/.X11-unix/X$display"
  done
}
cleanup() {
  end_groups "${groups[@]}" $shell
  remove_x_locks
  # The document portal's folder stays mounted until its helper has seen the portal go.
  for _ in $(seq 30); do
    mountpoint -q "$work/runtime/doc" || break
    sleep 0.1
  done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache" \
  XDG_STATE_HOME="$HOME/.local/state"
export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland XDG_SESSION_DESKTOP=gnome DESKTOP_SESSION=gnome
export GSETTINGS_BACKEND=dconf NO_AT_BRIDGE=1
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/gnome-shell/extensions" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Starts a bus with the configuration in $1 and sets $bus to its address.
start_bus() {
  dbus-daemon --config-file="$1" --fork --print-address=1 --print-pid=1 >"$work/bus" || return 1
  groups+=("$(sed -n 2p "$work/bus")")
  bus=$(sed -n 1p "$work/bus")
}
start_bus /usr/share/dbus-1/session.conf || skip "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$bus
# The shell asks logind for the seat on the system bus and ends without one.
cat >"$work/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
start_bus "$work/system-bus.conf" || skip "no system bus"
export DBUS_SYSTEM_BUS_ADDRESS=$bus

# The bar without the button of the tests' remote-desktop session; shells from 45 on load
# extensions as modules.
hide_sharing=$XDG_DATA_HOME/gnome-shell/extensions/hide-sharing@tests.vantora.org
mkdir -p "$hide_sharing"
cp "$here/gnome-shell/hide-sharing@tests.vantora.org/metadata.json" "$hide_sharing/"
shell_major=$(gnome-shell --version | grep -o '[0-9][0-9]*' | head -n1)
if [ "${shell_major:-0}" -ge 45 ]; then
  cp "$here/gnome-shell/hide-sharing@tests.vantora.org/extension.js" "$hide_sharing/"
else
  cp "$here/gnome-shell/hide-sharing@tests.vantora.org/extension-before-45.js" "$hide_sharing/extension.js"
fi

# A desktop a person has used before: no welcome tour, no lock warning, no lock, no animations
# (they would make the pictures depend on timing).
touch "$XDG_DATA_HOME/gnome-shell/lock-warning-shown"
gsettings set org.gnome.shell enabled-extensions "[${tray:+'$tray', }'hide-sharing@tests.vantora.org']"
gsettings set org.gnome.shell disable-user-extensions false
# Shells newer than the extension's list load it as well.
gsettings set org.gnome.shell disable-extension-version-validation true
gsettings set org.gnome.shell welcome-dialog-last-shown-version '999'
gsettings set org.gnome.desktop.session idle-delay 0
gsettings set org.gnome.desktop.screensaver lock-enabled false
gsettings set org.gnome.desktop.interface enable-animations false

owned() {
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
# Starts the shell and waits until it is up: it has finished starting (it says so in its log),
# its tray (if it has one) watches for items and XWayland is there.
start_shell() {
  setsid gnome-shell --headless --wayland --virtual-monitor "$screen" --wayland-display=vantora-test \
    >"$work/shell.log" 2>&1 </dev/null &
  shell=$!
  for _ in $(seq 300); do
    x_display=$(grep -o 'Using public X11 display :[0-9]*' "$work/shell.log" | head -n1 | grep -o '[0-9]*$')
    kill -0 "$shell" 2>/dev/null || return 1
    { [ -z "$tray" ] || owned org.kde.StatusNotifierWatcher; } && [ -n "$x_display" ] &&
      grep -q 'GNOME Shell started at' "$work/shell.log" &&
      return 0
    sleep 0.1
  done
  return 1
}
# Now and then GNOME Shell 48 had its tray up but never finished starting (once with pixman
# reporting an invalid rectangle), and then showed no tray icons at all; a shell that has not
# finished within 30 seconds is ended and a new one started.
export WAYLAND_DISPLAY=vantora-test
for attempt in 1 2 3; do
  start_shell && break
  end_groups "$shell"
  remove_x_locks
  [ "$attempt" = 3 ] && { cat "$work/shell.log" >&2; skip "the shell did not come up with its tray"; }
  echo "run-in-gnome-shell: the shell did not come up with its tray; starting another" >&2
done
export DISPLAY=":$x_display"
XAUTHORITY=$(ls -t "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
export XAUTHORITY
# The portals and the shortcut provider the bus starts are clients of the shell: they learn
# the displays from the bus, as a session's service manager tells them.
gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
  -m org.freedesktop.DBus.UpdateActivationEnvironment \
  "{'DISPLAY': '$DISPLAY', 'WAYLAND_DISPLAY': '$WAYLAND_DISPLAY', 'XAUTHORITY': '$XAUTHORITY'}" >/dev/null ||
  skip "the session bus did not take the displays"

# The shell starts in the overview; a session that was already in use shows the desktop.
overview() {
  gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.freedesktop.DBus.Properties."$@" 2>/dev/null
}
left=0
for _ in $(seq 100); do
  overview Set org.gnome.Shell OverviewActive '<false>' >/dev/null
  if overview Get org.gnome.Shell OverviewActive | grep -q false; then
    left=$((left + 1))
    [ "$left" -ge 3 ] && break
  else
    left=0
  fi
  sleep 0.2
done
[ "$left" -ge 3 ] || skip "the shell did not leave the overview"

export GNOME_SHELL_LOG="$work/shell.log"
run_stoppable "$@"
status=$?
# What the shell said, for failures that show only on its side (its tray logs there).
[ "$status" -eq 0 ] || { echo "run-in-gnome-shell: the shell's log:" >&2; grep -v '^libmutter-Message' "$work/shell.log" >&2; }
exit "$status"
