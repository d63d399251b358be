#!/usr/bin/env bash
# Runs "$@" inside a Plasma Wayland session of its own: KWin nested in a private Xvfb (which
# then shows the whole desktop for screenshots and takes real seat input through xdotool),
# with XWayland, kded and plasmashell, as a KDE desktop has them. Everything is private: the
# session and system buses, HOME, the XDG folders and the runtime folder. "$@" gets DISPLAY
# (KWin's XWayland, where the application runs), PLASMA_OUTER_DISPLAY (the Xvfb: screenshots
# and input), WAYLAND_DISPLAY and both bus addresses. System Settings is a stand-in on the
# session's PATH that appends each launch's arguments as one line to $SYSTEMSETTINGS_LAUNCHES.
# Ends only what it started. Exits 77 (skipped) when Plasma or XWayland is missing, or when
# the session does not come up.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/stoppable.sh"

screen_width=1600
screen_height=1000
here=$(cd "$(dirname "$0")" && pwd)

skip() {
  echo "SKIP: run-in-plasma-wayland: $*" >&2
  exit 77
}
for tool in kwin_wayland plasmashell Xwayland Xvfb dbus-daemon dbus-update-activation-environment gdbus xdotool; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
# Plasma 6 comes with kded6, Plasma 5 with kded5 (asking plasmashell its version may crash it).
if command -v kded6 >/dev/null 2>&1; then
  plasma_major=6
elif command -v kded5 >/dev/null 2>&1; then
  plasma_major=5
else
  skip "neither kded6 nor kded5 is installed"
fi
kded=kded$plasma_major

work=$(mktemp -d)
# Each started process leads a process group of its own: the buses' groups hold the services
# they start on demand (portals, kglobalaccel's helpers), KWin's holds XWayland.
groups=()
kwin_pid=
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
cleanup() {
  # The session's own programs first (they hold the buses' services), then the buses and KWin.
  local group
  for ((group = ${#groups[@]} - 1; group >= 0; group--)); do
    end_groups "${groups[$group]}"
  done
  # XWayland's lock names KWin, or XWayland itself when KWin is gone first.
  if [ -n "$x_display" ] && [ -n "$kwin_pid" ] && [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$x_display-lock")" = "$kwin_pid" ]; then
    rm -f "/tmp/.X$x_display-lock" "/tmp/.X11-unix/X$x_display"
  fi
  for _ in $(seq 30); do
    mountpoint -q "$work/runtime/doc" || break
    fusermount -u "$work/runtime/doc" 2>/dev/null || fusermount3 -u "$work/runtime/doc" 2>/dev/null
    sleep 0.1
  done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache" \
  XDG_STATE_HOME="$HOME/.local/state"
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland XDG_SESSION_DESKTOP=KDE DESKTOP_SESSION=plasma \
  KDE_FULL_SESSION=true KDE_SESSION_VERSION="$plasma_major" NO_AT_BRIDGE=1
# As Plasma's start sets it: the applications menu KService indexes the installed programs by
# (System Settings among them) is Plasma's, which Plasma 6 installs under this prefix only.
export XDG_MENU_PREFIX=plasma-
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR" "$work/bin"
chmod 700 "$XDG_RUNTIME_DIR"

# System Settings as a stand-in that only says it was started; Plasma 6's portal opens it
# through plasma-open-settings, the handler of its systemsettings:// addresses.
export SYSTEMSETTINGS_LAUNCHES="$work/systemsettings-launches"
: >"$SYSTEMSETTINGS_LAUNCHES"
for name in systemsettings systemsettings5 plasma-open-settings; do
  printf '#!/bin/sh\necho "$*" >>"%s"\n' "$SYSTEMSETTINGS_LAUNCHES" >"$work/bin/$name"
  chmod +x "$work/bin/$name"
done
export PATH="$work/bin:$PATH"

# Starts a bus with the configuration in $1 and sets $bus to its address.
start_bus() {
  dbus-daemon --config-file="$1" --fork --print-address=1 --print-pid=1 >"$work/bus" || return 1
  groups+=("$(sed -n 2p "$work/bus")")
  bus=$(sed -n 1p "$work/bus")
}
start_bus /usr/share/dbus-1/session.conf || skip "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$bus
cat >"$work/system-bus.conf" <<CONF
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
CONF
start_bus "$work/system-bus.conf" || skip "no system bus"
export DBUS_SYSTEM_BUS_ADDRESS=$bus

setsid Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "${screen_width}x${screen_height}x24" \
  3>"$work/outer-display" >"$work/xvfb.log" 2>&1 &
groups+=($!)
for _ in $(seq 100); do
  grep -q . "$work/outer-display" 2>/dev/null && break
  sleep 0.1
done
outer=$(head -n1 "$work/outer-display")
[ -n "$outer" ] || skip "Xvfb did not come up"
export PLASMA_OUTER_DISPLAY=":$outer"

# KWin carries a file capability, which a container may refuse to honour: a copy without it
# runs there as well.
kwin=$(command -v kwin_wayland)
if ! "$kwin" --version >/dev/null 2>&1; then
  cp "$kwin" "$work/bin/kwin_wayland"
  kwin="$work/bin/kwin_wayland"
fi
# XWayland needs the X socket folder, open to all, before KWin starts it.
[ -d /tmp/.X11-unix ] || mkdir -m 1777 -p /tmp/.X11-unix
export WAYLAND_DISPLAY="vantora-plasma-$$"
DISPLAY=":$outer" setsid "$kwin" --x11-display ":$outer" --xwayland --width "$screen_width" --height "$screen_height" \
  --socket "$WAYLAND_DISPLAY" --no-lockscreen >"$work/kwin.log" 2>&1 </dev/null &
kwin_pid=$!
groups+=("$kwin_pid")

owned() {
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
# KWin's XWayland display: the X socket whose lock names KWin (it opens the sockets itself).
for _ in $(seq 200); do
  kill -0 "$kwin_pid" 2>/dev/null || { cat "$work/kwin.log" >&2; skip "KWin ended while starting"; }
  for lock in /tmp/.X*-lock; do
    [ "$(tr -d ' ' 2>/dev/null <"$lock")" = "$kwin_pid" ] || continue
    x_display=${lock#/tmp/.X}
    x_display=${x_display%-lock}
  done
  [ -n "$x_display" ] && owned org.kde.KWin && break
  sleep 0.1
done
[ -n "$x_display" ] || { cat "$work/kwin.log" >&2; skip "KWin started no XWayland"; }
export DISPLAY=":$x_display"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

# The session's services, started by the bus, see the session as its programs do.
dbus-update-activation-environment HOME XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME \
  XDG_CURRENT_DESKTOP XDG_SESSION_TYPE XDG_SESSION_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION KDE_SESSION_VERSION \
  XDG_MENU_PREFIX NO_AT_BRIDGE PATH DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM=wayland
QT_QPA_PLATFORM=wayland setsid "$kded" >"$work/kded.log" 2>&1 </dev/null &
groups+=($!)
QT_QPA_PLATFORM=wayland setsid plasmashell --no-respawn >"$work/plasmashell.log" 2>&1 </dev/null &
groups+=($!)

# Up once the tray watches for items and shows them: its host has told the watcher so (a host
# takes its name on the bus before, while it may still miss the items that come meanwhile).
tray_up() {
  owned org.kde.StatusNotifierWatcher &&
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.ListNames 2>/dev/null |
      grep -q "org.kde.StatusNotifierHost-" &&
    gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher -m org.freedesktop.DBus.Properties.Get \
      org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null | grep -q true
}
for _ in $(seq 300); do
  tray_up && break
  sleep 0.1
done
tray_up || { cat "$work/plasmashell.log" >&2; skip "Plasma's tray did not come up"; }

run_stoppable "$@"
status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
  echo "run-in-plasma-wayland: KWin's and plasmashell's logs:" >&2
  tail -n 40 "$work/kwin.log" "$work/plasmashell.log" >&2
fi
exit "$status"
