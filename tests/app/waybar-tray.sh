#!/usr/bin/env bash
# The tray icon on waybar, in a headless sway session, as a person meets it there:
#   run-in-sway-waybar.sh waybar-tray.sh <vantora binary>
# waybar draws the item's menu itself and reports a chosen entry only as a group of events;
# it takes every entry as it comes.
# The icon shows and reads on waybar's dark bar; the secondary click opens waybar's menu of
# the item, and Quit chosen there ends the program with status 0. The screen is read with
# grim, the pointer is a virtual one (wayland-pointer.py).
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/stoppable.sh"

app=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/screen-pictures.sh"
for tool in convert grim python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: waybar-tray: $tool is not installed" >&2; exit 77; }
done

home=$(mktemp -d)
mkdir -p "$home/config" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
app_pid=
pointer_pid=
cleanup() {
  [ -n "$pointer_pid" ] && { kill "$pointer_pid" 2>/dev/null; wait "$pointer_pid" 2>/dev/null; }
  [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; }
  rm -rf "$home"
}
trap cleanup EXIT
fail() {
  echo "FAILED (waybar-tray): $*" >&2
  echo "the program's log:" >&2
  tail -n 30 "$home/app.log" >&2
  exit 1
}

shot() { XDG_RUNTIME_DIR=$SWAY_RUNTIME_DIR grim "$home/$1.png"; }
bar="0 0 $SCREEN_WIDTH $BAR_HEIGHT"
tray="$((SCREEN_WIDTH / 2)) 0 $((SCREEN_WIDTH / 2)) $BAR_HEIGHT"
below_bar="0 $BAR_HEIGHT $SCREEN_WIDTH $((SCREEN_HEIGHT - BAR_HEIGHT))"
# Screenshot $1 once area $2 has held still for half a second.
settled() {
  shot "$1"
  for _ in $(seq 40); do
    sleep 0.5
    shot "$1-again"
    [ -z "$(changed_box "$home/$1.png" "$home/$1-again.png" "$2")" ] && return 0
    mv "$home/$1-again.png" "$home/$1.png"
  done
  return 1
}
settled before "$bar" || fail "waybar never held still"

HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
  ASAN_OPTIONS=detect_leaks=0 "$app" --demo >"$home/app.log" 2>&1 &
app_pid=$!

icon=
for _ in $(seq 30); do
  sleep 0.5
  settled with-icon "$bar" || continue
  icon=$(changed_box "$home/before.png" "$home/with-icon.png" "$tray")
  [ -n "$icon" ] && break
done
[ -n "$icon" ] || fail "no icon came to waybar's tray"
read -r icon_x icon_y icon_width icon_height <<<"$icon"
bar_lightness=$(lightness_at "$home/before.png" "$((icon_x + icon_width / 2))" "$((icon_y + icon_height / 2))")
read -r contrast clear_pixels < <(glyph_contrast "$home/with-icon.png" "$icon" "$bar_lightness")
echo "waybar-tray: the icon at $icon, contrast $contrast with the bar, $clear_pixels clear pixels"
awk "BEGIN {exit !($contrast >= 0.6)}" || fail "the icon does not stand out from the bar (contrast $contrast)"
[ "$clear_pixels" -ge 12 ] || fail "the icon is too faint to read ($clear_pixels clear pixels)"

# One pointer for both clicks: waybar's menu would close with the pointer that opened it.
coproc POINTER { XDG_RUNTIME_DIR=$SWAY_RUNTIME_DIR exec python3 "$here/../support/wayland-pointer.py" \
                   "$SCREEN_WIDTH" "$SCREEN_HEIGHT"; }
pointer_pid=$POINTER_PID
step() {
  local answer
  echo "$*" >&"${POINTER[1]}"
  read -r -t 10 answer <&"${POINTER[0]}" && [ "$answer" = ok ] || fail "the pointer did not take \"$*\""
}
step move "$((icon_x + icon_width / 2))" "$((icon_y + icon_height / 2))"
step click right
menu=
for _ in $(seq 20); do
  settled with-menu "$below_bar" || continue
  menu=$(changed_box "$home/with-icon.png" "$home/with-menu.png" "$below_bar")
  [ -n "$menu" ] && break
done
[ -n "$menu" ] || fail "the secondary click opened no menu"
read -r menu_x menu_y menu_width menu_height <<<"$menu"
echo "waybar-tray: the menu at $menu"
# GTK says when waybar builds an entry from something the item sends that it cannot take.
! grep 'Gtk-CRITICAL' "$SWAY_LOG" || fail "waybar could not take the menu's entries as they came"
# Quit is the menu's last entry.
step move "$((menu_x + menu_width / 2))" "$((menu_y + menu_height - 14))"
step wait 300
step click left
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "Quit chosen in waybar's menu left the program running"
wait "$app_pid"
status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status after Quit"

# Qt says when a host asks for something the item does not offer as asked.
! grep -iE 'dbus|d-bus' "$home/app.log" || fail "Qt warned about the item's D-Bus interface while the host used it"
