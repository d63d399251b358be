#!/usr/bin/env bash
# The tray icon and its panel on Plasma's Wayland desktop, as a person meets them there:
#   run-in-plasma-wayland.sh plasma-wayland-tray.sh <vantora binary>
# The program runs under KWin's XWayland; what the desktop shows is read from screenshots of
# the whole screen, and the pointer and keys are real seat input. With a shortcut stored
# before the start: the icon shows and reads on Plasma's bar; the shortcut, bound through the
# desktop's shortcut portal and pressed before any click, opens the panel by the tray; a click
# on the icon opens it with the keyboard; the task manager never lists the panel; started
# again, the program opens no System Settings window and the shortcut still fires, also after
# the desktop's portal crashed and came back. The desktop speaks German throughout: the keys it
# names in German are read as the ones recorded, with no alert on the shortcuts page. Keys
# changed in the desktop's settings become the stored shortcut, and the next start has nothing
# to complain of.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/stoppable.sh"

app=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/screen-pictures.sh"
. "$here/../support/key-daemon.sh"
for tool in convert import xdotool xprop; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: plasma-wayland-tray: $tool is not installed" >&2; exit 77; }
done

home=$(mktemp -d)
mkdir -p "$home/config/vantora" "$home/data"
app_pid=
monitor=
cleanup() {
  [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; }
  [ -n "$monitor" ] && { kill "$monitor" 2>/dev/null; wait "$monitor" 2>/dev/null; }
  rm -rf "$home"
}
trap cleanup EXIT
fail() {
  echo "FAILED (plasma-wayland-tray): $*" >&2
  echo "the program's log:" >&2
  tail -n 30 "$home/app.log" >&2
  echo "the calls to the desktop's shortcut portal, and its answers:" >&2
  grep -E "member=|trigger|string \"(Ctrl|Strg)" "$home/portal-calls" 2>/dev/null | cut -c1-200 >&2
  exit 1
}
. "$(dirname "${BASH_SOURCE[0]}")/../support/within.sh"

outer=$PLASMA_OUTER_DISPLAY
read -r screen_width screen_height < <(xdpyinfo -display "$outer" | awk '/dimensions:/ {sub("x", " ", $2); print $2}')
# The bar is what the work area leaves out at the bottom, once Plasma has put it there.
bar_up() {
  read -r _ _ _ area_height < <(xprop -root _NET_WORKAREA 2>/dev/null | tr -d ',' | awk '{print $3, $4, $5, $6}')
  [ "${area_height:-$screen_height}" -lt "$screen_height" ]
}
within 300 bar_up || fail "Plasma's bar never took the bottom of the screen"
bar_top=$area_height
bar="0 $bar_top $screen_width $((screen_height - bar_top))"
# The tray is at the right of the bar, the task manager between the launcher and the tray.
tray="$((screen_width * 3 / 5)) $bar_top $((screen_width * 2 / 5)) $((screen_height - bar_top))"
tasks="80 $bar_top $((screen_width * 3 / 5 - 80)) $((screen_height - bar_top))"

shot() { import -display "$outer" -window root "$home/$1.png"; }
# The bar once it has held still for a second.
settled_bar() {
  shot "$1"
  for _ in $(seq 30); do
    sleep 1
    shot "$1-again"
    [ -z "$(changed_box "$home/$1.png" "$home/$1-again.png" "$bar")" ] && return 0
    mv "$home/$1-again.png" "$home/$1.png"
  done
  return 1
}
bus_call() { dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "$@"; }
owned() { bus_call org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'; }
# Ends the program that holds the bus name $1 at once, as a crash would.
crash() {
  local pid
  pid=$(bus_call org.freedesktop.DBus.GetConnectionUnixProcessID "string:$1" 2>/dev/null | awk '/uint32/ {print $2}')
  [ -n "$pid" ] && kill -KILL "$pid" && within 50 eval "! owned $1"
}

# The desktop speaks German: its portal and the portal's KDE side, which the session started
# already, end and are started again by the bus in German for whoever calls next. Plasma 6 then
# names the keys in German ("Strg+Alt+K"), from Qt's own texts.
mkdir -p "$home/locales"
localedef -i de_DE -f UTF-8 "$home/locales/de_DE.UTF-8" || fail "no German locale could be made"
dbus-update-activation-environment LOCPATH="$home/locales" LANG=de_DE.UTF-8 LANGUAGE=de ||
  fail "the session's bus did not take the German locale"
for portal in org.freedesktop.portal.Desktop org.freedesktop.impl.portal.desktop.kde; do
  ! owned "$portal" || crash "$portal" || fail "$portal did not end"
done
dbus-monitor --session "type='method_call',interface='org.freedesktop.portal.GlobalShortcuts'" \
  "type='signal',interface='org.freedesktop.portal.Request',member='Response'" \
  "type='signal',interface='org.freedesktop.portal.GlobalShortcuts',member='ShortcutsChanged'" >"$home/portal-calls" 2>&1 &
monitor=$!
within 50 grep -q NameAcquired "$home/portal-calls" || fail "dbus-monitor did not start"

settled_bar before || fail "Plasma's bar never held still"

# Ctrl+Alt+K for "show or hide the panel", as the shortcuts page stores it.
printf '%s' '{"format": 1, "values": {"GlobalShortcuts_showVantora": {"type": "string",
  "value": "{\"carbonKeyCode\":40,\"carbonModifiers\":6144}"}}}' >"$home/config/vantora/defaults.json"
# Starts the program with the flag given: --demo, or --shortcut-preview for its shortcuts page.
start_app() {
  HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" ASAN_OPTIONS=detect_leaks=0 \
    "$app" "$1" >>"$home/app.log" 2>&1 &
  app_pid=$!
}
stop_app() {
  kill -TERM "$app_pid"
  wait "$app_pid"
  status=$?
  app_pid=
  [ "$status" -eq 0 ] || fail "the program ended with status $status on SIGTERM"
}
start_app --demo

# The program's item reaches the desktop's watcher first, and Plasma's bar draws it after; on
# a machine busy with other tests both can take long, so each is waited for until a deadline
# rather than for a number of rounds.
item_registered() {
  gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
    -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems 2>/dev/null |
    grep -q /StatusNotifierItem
}
within 600 item_registered || fail "the program's item never reached the desktop's watcher"
# The icon: the tray makes room for it left of the items it held, which move; it is the
# leftmost glyph of what changed in the tray since the program started.
changed=
deadline=$((SECONDS + 150))
while [ -z "$changed" ] && [ "$SECONDS" -lt "$deadline" ]; do
  sleep 1
  settled_bar with-icon || continue
  changed=$(changed_box "$home/before.png" "$home/with-icon.png" "$tray")
done
[ -n "$changed" ] || fail "no icon came to Plasma's tray, though the item reached the desktop's watcher"
read -r changed_x changed_y _ changed_height <<<"$changed"
bar_lightness=$(lightness_at "$home/before.png" "$((changed_x - 4))" "$((changed_y + changed_height / 2))")
# Only the rows that changed: Plasma 6's bar floats, with the desktop showing around it.
icon=$(glyphs_in "$home/with-icon.png" "$changed" "$bar_lightness" | head -n1)
[ -n "$icon" ] || fail "what changed in the tray at $changed shows nothing that stands out from the bar"
read -r icon_x icon_y icon_width icon_height <<<"$icon"
read -r contrast clear_pixels < <(glyph_contrast "$home/with-icon.png" "$icon" "$bar_lightness")
echo "plasma-wayland-tray: the icon at $icon on a bar of lightness $bar_lightness: contrast $contrast, $clear_pixels clear pixels"
awk "BEGIN {exit !($contrast >= 0.6)}" || fail "the icon does not stand out from the bar (contrast $contrast)"
[ "$clear_pixels" -ge 12 ] || fail "the icon is too faint to read ($clear_pixels clear pixels)"

panel_window() { xdotool search --onlyvisible --name '^vantora$' 2>/dev/null | head -n1; }
panel_shown() { [ -n "$(panel_window)" ]; }
panel_hidden() { [ -z "$(panel_window)" ]; }
# X, Y, WIDTH and HEIGHT of the panel.
panel_geometry() { eval "$(xdotool getwindowgeometry --shell "$(panel_window)")"; }

# The program's windows of the dialog kind, such as an alert.
shown_dialogs() {
  for window in $(xdotool search --onlyvisible --class vantora 2>/dev/null); do
    xprop -id "$window" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG && echo "$window"
  done
}
binds() { grep -c 'member=BindShortcuts' "$home/portal-calls"; }
# Ctrl+Alt+<key> pressed until the panel shows, or hides.
pressed_open() {
  DISPLAY=$outer xdotool key "ctrl+alt+${1:-k}"
  within 10 panel_shown
}
pressed_closed() {
  DISPLAY=$outer xdotool key "ctrl+alt+${1:-k}"
  within 10 panel_hidden
}

# The portal hands the shortcut to KWin's key daemon at the start, named in German on Plasma 6;
# pressed before any click, it opens the panel by the tray: above the bar, at its right end.
within 150 key_daemon_holds 'Show or hide app' || fail "the desktop never bound the stored shortcut"
# Plasma 6 binds what a session is asked to bind (Plasma 5 what it was created with).
if command -v kded6 >/dev/null 2>&1; then
  [ "$(binds)" -eq 1 ] || fail "the program asked the desktop to bind $(binds) times"
  within 50 grep -qF 'string "Strg+Alt+K"' "$home/portal-calls" ||
    fail "the portal did not name the keys in German: $(grep -F '+K"' "$home/portal-calls")"
fi
# Its settings list the shortcut under the program's name, after the bind as after a restart.
within 50 key_daemon_lists_under_ours 'Show or hide app' || fail "the desktop lists the shortcut under \"$(key_daemon_program_name 'Show or hide app')\""
DISPLAY=$outer xdotool key ctrl+alt+k
within 50 panel_shown || fail "the shortcut opened no panel"
sleep 0.7
panel_geometry
[ $((Y + HEIGHT)) -le "$bar_top" ] && [ $((Y + HEIGHT)) -ge $((bar_top - 40)) ] ||
  fail "the panel at $X,$Y (${WIDTH}x$HEIGHT) is not just above the bar at y $bar_top"
[ $((X + WIDTH)) -ge $((screen_width - 40)) ] ||
  fail "the panel at $X,$Y (${WIDTH}x$HEIGHT) is not at the right end of the bar"
DISPLAY=$outer xdotool key ctrl+alt+k
within 50 panel_hidden || fail "the shortcut pressed again left the panel open"

# A click on the icon opens the panel with the keyboard's focus, and the task manager shows
# nothing new.
DISPLAY=$outer xdotool mousemove "$((icon_x + icon_width / 2))" "$((icon_y + icon_height / 2))" click 1
within 50 panel_shown || fail "a click on the icon opened no panel"
focused() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$(panel_window)" ]; }
within 30 focused || fail "the panel opened without the keyboard's focus"
sleep 1
shot with-panel
entry=$(changed_box "$home/with-icon.png" "$home/with-panel.png" "$tasks")
[ -z "$entry" ] || fail "the task manager shows something new at $entry while the panel is open"
stop_app

# Started again with the shortcut it has, on its shortcuts page, the program asks the desktop
# what it holds and to bind nothing, so no System Settings window opens (Plasma 6 opens one at
# every bind); the shortcut still fires, and the page takes the keys the desktop names in
# German for the ones recorded. A bind, or an alert, would come as the listing is answered,
# before the press is.
launches=$(wc -l <"$SYSTEMSETTINGS_LAUNCHES")
binds_before=$(binds)
lists_before=$(grep -c 'member=ListShortcuts' "$home/portal-calls")
start_app --shortcut-preview
within 30 pressed_open || fail "after the restart the shortcut opened no panel"
[ "$(grep -c 'member=ListShortcuts' "$home/portal-calls")" -gt "$lists_before" ] ||
  fail "the restarted program did not ask what the desktop holds"
[ "$(binds)" -eq "$binds_before" ] || fail "the restart asked the desktop to bind again"
[ -z "$(shown_dialogs)" ] || fail "after the restart the shortcuts page complained of the keys the desktop listed"
key_daemon_lists_under_ours 'Show or hide app' || fail "after the restart the desktop lists the shortcut under \"$(key_daemon_program_name 'Show or hide app')\""
[ "$(wc -l <"$SYSTEMSETTINGS_LAUNCHES")" -eq "$launches" ] ||
  fail "the restart opened System Settings: $(tail -n1 "$SYSTEMSETTINGS_LAUNCHES")"

# The portal crashes while the program runs, and the bus starts it again for whoever calls
# next: within seconds the shortcut fires again, and the desktop asks nobody.
crash org.freedesktop.portal.Desktop || fail "the portal did not end"
bus_call org.freedesktop.DBus.StartServiceByName string:org.freedesktop.portal.Desktop uint32:0 >/dev/null ||
  fail "the bus could not start the portal again"
within 30 pressed_closed || fail "after the portal came back the shortcut did not hide the panel"
within 30 pressed_open || fail "after the portal came back the shortcut did not open the panel"
[ "$(wc -l <"$SYSTEMSETTINGS_LAUNCHES")" -eq "$launches" ] ||
  fail "the portal's return opened System Settings: $(tail -n1 "$SYSTEMSETTINGS_LAUNCHES")"

# The person changes the keys in the desktop's shortcut settings, which hand them to the key
# daemon as another program's: Ctrl+Alt+M becomes the stored shortcut and opens the panel, and
# the next start lists the desktop's keys with nothing to complain of.
component=$(key_daemon_component 'Show or hide app') || fail "the key daemon holds no entry for the shortcut"
component_name=$(dbus-send --session --print-reply --dest=org.kde.kglobalaccel "$component" \
  org.freedesktop.DBus.Properties.Get string:org.kde.kglobalaccel.Component string:uniqueName |
  awk -F'"' '/string/ {print $2; exit}')
# Ctrl+Alt+M as Qt numbers it: its modifiers' bits and the key's code.
dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel org.kde.KGlobalAccel.setForeignShortcut \
  "array:string:$component_name,showVantora,$(key_daemon_program_name 'Show or hide app'),Show or hide app" \
  "array:int32:$((0x04000000 | 0x08000000 | 0x4d))" >/dev/null || fail "the key daemon did not take Ctrl+Alt+M"
stored_m() { grep -qF '\"carbonKeyCode\":46,\"carbonModifiers\":6144}' "$home/config/vantora/defaults.json"; }
within 50 stored_m || fail "the keys changed in the desktop's settings were not stored: $(cat "$home/config/vantora/defaults.json")"
within 30 pressed_closed m || fail "the desktop's Ctrl+Alt+M did not hide the panel"
within 30 pressed_open m || fail "the desktop's Ctrl+Alt+M did not open the panel"
[ -z "$(shown_dialogs)" ] || fail "the shortcuts page complained of the keys changed in the desktop's settings"
stop_app
binds_before=$(binds)
start_app --shortcut-preview
within 30 pressed_open m || fail "after the restart the desktop's Ctrl+Alt+M opened no panel"
[ -z "$(shown_dialogs)" ] || fail "after the restart the shortcuts page complained of the desktop's Ctrl+Alt+M"
[ "$(binds)" -eq "$binds_before" ] || fail "the restart asked the desktop to bind again"
stored_m || fail "after the restart the stored shortcut is no longer Ctrl+Alt+M"
stop_app

# A portal with a registry (1.19 and later) knows the program by its launcher.
! grep "does not know this program" "$home/app.log" || fail "the portal did not know the program by its launcher"
# Qt says when a host asks for something the item does not offer as asked.
! grep -iE 'dbus|d-bus' "$home/app.log" || fail "Qt warned about the item's D-Bus interface while the host used it"
