#!/usr/bin/env bash
# Runs "$@" inside a GNOME Shell session of its own: headless, Wayland with XWayland, and the
# AppIndicator extension as the tray, as a GNOME desktop has them. Everything is private: the
# session and system buses, HOME, the XDG folders and the runtime folder. "$@" gets DISPLAY,
# XAUTHORITY, WAYLAND_DISPLAY and both bus addresses. Ends only what it started. Exits 77
# (skipped) when GNOME Shell, its tray extension or XWayland is missing, or when the session
# does not come up.
set -uo pipefail

screen=1600x1000
tray=ubuntu-appindicators@ubuntu.com
here=$(cd "$(dirname "$0")" && pwd)

skip() {
  echo "run-in-gnome-shell: $*" >&2
  exit 77
}
for tool in gnome-shell Xwayland dbus-daemon gsettings gdbus; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
[ -d "/usr/share/gnome-shell/extensions/$tray" ] || skip "the AppIndicator extension is not installed"

work=$(mktemp -d)
# Each started process leads a process group of its own: the buses' groups hold the services
# they start on demand (settings, portals, keyring), the shell's group holds XWayland.
groups=()
shell=
x_display=
cleanup() {
  local group
  for group in "${groups[@]}"; do
    kill -TERM -- "-$group" 2>/dev/null
  done
  for group in "${groups[@]}"; do
    for _ in $(seq 30); do
      kill -0 -- "-$group" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$group" 2>/dev/null
  done
  # XWayland leaves its lock behind when ended with the shell; it names the shell's pid.
  if [ -n "$x_display" ] && [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$x_display-lock")" = "$shell" ]; then
    rm -f "/tmp/.X$x_display-lock" "/tmp/.X11-unix/X$x_display"
  fi
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

# A desktop a person has used before: no welcome tour, no lock warning, no lock, no animations
# (they would make the pictures depend on timing).
cp -r "$here/gnome-shell/hide-sharing@tests.vantora.org" "$XDG_DATA_HOME/gnome-shell/extensions/"
touch "$XDG_DATA_HOME/gnome-shell/lock-warning-shown"
gsettings set org.gnome.shell enabled-extensions "['$tray', 'hide-sharing@tests.vantora.org']"
gsettings set org.gnome.shell disable-user-extensions false
gsettings set org.gnome.shell welcome-dialog-last-shown-version '999'
gsettings set org.gnome.desktop.session idle-delay 0
gsettings set org.gnome.desktop.screensaver lock-enabled false
gsettings set org.gnome.desktop.interface enable-animations false

setsid gnome-shell --headless --wayland --virtual-monitor "$screen" --wayland-display=vantora-test \
  >"$work/shell.log" 2>&1 </dev/null &
shell=$!
groups+=("$shell")
export WAYLAND_DISPLAY=vantora-test

# Up once its tray watches for items and XWayland is there.
owned() {
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
for _ in $(seq 300); do
  kill -0 "$shell" 2>/dev/null || { cat "$work/shell.log" >&2; skip "gnome-shell ended early"; }
  owned org.kde.StatusNotifierWatcher && grep -q 'Using public X11 display' "$work/shell.log" && break
  sleep 0.1
done
owned org.kde.StatusNotifierWatcher || { cat "$work/shell.log" >&2; skip "the shell's tray did not come up"; }
x_display=$(grep -o 'Using public X11 display :[0-9]*' "$work/shell.log" | head -n1 | grep -o '[0-9]*$')
export DISPLAY=":$x_display"
XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
export XAUTHORITY

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

"$@"
status=$?
# What the shell said, for failures that show only on its side (its tray logs there).
[ "$status" -eq 0 ] || { echo "run-in-gnome-shell: the shell's log:" >&2; grep -v '^libmutter-Message' "$work/shell.log" >&2; }
exit "$status"
