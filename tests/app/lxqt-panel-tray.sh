#!/usr/bin/env bash
# The tray icon on LXQt's panel, which draws an icon named in the theme as it is, on the X
# server of run-under-xvfb.sh with openbox as the window manager:
#   run-under-xvfb.sh lxqt-panel-tray.sh <vantora binary>
# The icon shows in the panel's status notifier area and reads on the panel's dark bar, as a
# screenshot shows them.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/stoppable.sh"

app=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/screen-pictures.sh"
. "$here/../support/end-bus-clients.sh"
for tool in lxqt-panel openbox convert import xprop dbus-daemon; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: lxqt-panel-tray: $tool is not installed" >&2; exit 77; }
done

home=$(mktemp -d)
mkdir -p "$home/config/lxqt" "$home/data" "$home/runtime" "$home/app/config" "$home/app/data"
chmod 700 "$home/runtime"
pids=()
cleanup() {
  [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] && end_bus_clients
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$home"
}
trap cleanup EXIT
fail() {
  echo "FAILED (lxqt-panel-tray): $*" >&2
  echo "the program's log:" >&2
  tail -n 30 "$home/app.log" >&2
  exit 1
}
. "$(dirname "${BASH_SOURCE[0]}")/../support/within.sh"

export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime
unset WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_CURRENT_DESKTOP
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | head -n1)
pids+=($(echo "$bus" | sed -n 2p))

openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
within 50 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
# The panel as LXQt sets it up, along the bottom, with only the task bar and the status
# notifier area; it keeps the item watcher itself.
cat >"$home/config/lxqt/panel.conf" <<CONF
[General]
__userfile__=true

[panel1]
plugins=taskbar,statusnotifier
position=Bottom
desktop=0

[taskbar]
type=taskbar

[statusnotifier]
alignment=Right
type=statusnotifier
CONF
lxqt-panel >"$home/panel.log" 2>&1 &
pids+=($!)
owned() {
  dbus-send --session --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}
within 100 owned org.kde.StatusNotifierWatcher || fail "lxqt-panel's status notifier area did not come up"

read -r screen_width screen_height < <(xdpyinfo | awk '/dimensions:/ {sub("x", " ", $2); print $2}')
panel_up() {
  read -r _ _ _ area_height < <(xprop -root _NET_WORKAREA | tr -d ',' | awk '{print $3, $4, $5, $6}')
  [ "${area_height:-$screen_height}" -lt "$screen_height" ]
}
within 100 panel_up || fail "lxqt-panel did not take the bottom of the screen"
bar_top=$area_height
tray="$((screen_width / 2)) $bar_top $((screen_width / 2)) $((screen_height - bar_top))"

shot() { import -window root "$home/$1.png"; }
# Screenshot $1 once the panel has held still for half a second.
settled() {
  shot "$1"
  for _ in $(seq 40); do
    sleep 0.5
    shot "$1-again"
    [ -z "$(changed_box "$home/$1.png" "$home/$1-again.png" "0 $bar_top $screen_width $((screen_height - bar_top))")" ] &&
      return 0
    mv "$home/$1-again.png" "$home/$1.png"
  done
  return 1
}
settled before || fail "lxqt-panel never held still"

HOME="$home/app" XDG_CONFIG_HOME="$home/app/config" XDG_DATA_HOME="$home/app/data" ASAN_OPTIONS=detect_leaks=0 \
  QT_QPA_PLATFORM=xcb "$app" --demo >"$home/app.log" 2>&1 &
pids+=($!)

icon=
for _ in $(seq 30); do
  sleep 0.5
  settled with-icon || continue
  icon=$(changed_box "$home/before.png" "$home/with-icon.png" "$tray")
  [ -n "$icon" ] && break
done
[ -n "$icon" ] || fail "no icon came to lxqt-panel"
read -r icon_x icon_y icon_width icon_height <<<"$icon"
bar_lightness=$(lightness_at "$home/before.png" "$((icon_x + icon_width / 2))" "$((icon_y + icon_height / 2))")
read -r contrast clear_pixels < <(glyph_contrast "$home/with-icon.png" "$icon" "$bar_lightness")
echo "lxqt-panel-tray: the icon at $icon on a bar of lightness $bar_lightness: contrast $contrast, $clear_pixels clear pixels"
awk "BEGIN {exit !($contrast >= 0.6)}" || fail "the icon does not stand out from the panel (contrast $contrast)"
[ "$clear_pixels" -ge 12 ] || fail "the icon is too faint to read ($clear_pixels clear pixels)"

# Qt says when a host asks for something the item does not offer as asked.
! grep -iE 'dbus|d-bus' "$home/app.log" || fail "Qt warned about the item's D-Bus interface while the host used it"
