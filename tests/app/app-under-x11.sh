#!/usr/bin/env bash
# Runs one scenario of the real application under the X server of run-under-xvfb.sh:
#   app-under-x11.sh <vantora binary> <scenario> [scenario arguments]
# Each scenario starts its own copy with private runtime, config and data folders and a
# private session bus, and checks what a user would see: windows (by xdotool), the session
# marker in the defaults file, exit codes. Exits 0 on success, 1 on failure, 77 when a tool
# it needs is missing.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/stoppable.sh"

app=$1
scenario=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
xwindows=$here/../exerciser/xwindows.py
for tool in xdotool xwininfo trayer dbus-daemon; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: app-under-x11: $tool is not installed" >&2; exit 77; }
done

home=$(mktemp -d)
mkdir -p "$home/runtime" "$home/config" "$home/data"
chmod 700 "$home/runtime"
pids=()
. "$here/../support/end-bus-clients.sh"
. "$here/../support/key-daemon.sh"
cleanup() {
  # What the bus started for the app (the desktop portal, its backend) goes first.
  [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] && end_bus_clients
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$home"
}
trap cleanup EXIT

fail() {
  echo "FAILED ($scenario): $*" >&2
  # What a person would see of the application then, and the last it said.
  local window
  for window in $(xdotool search --onlyvisible --class '^vantora$' 2>/dev/null); do
    echo "shown: \"$(xdotool getwindowname "$window" 2>/dev/null)\" $(xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null | sed 's/.*= //')" >&2
  done
  [ -f "$home/app.log" ] && tail -n 20 "$home/app.log" >&2
  exit 1
}

export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
export HOME="$home" ASAN_OPTIONS=detect_leaks=0 VANTORA_COLOR_SCHEME=light
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

. "$(dirname "${BASH_SOURCE[0]}")/../support/within.sh"

start_tray() {
  trayer --edge top --align right --widthtype request --height 24 --SetDockType false >/dev/null 2>&1 &
  pids+=($!)
  within 50 xdotool search --classname trayer >/dev/null || fail "trayer did not start"
}

# openbox, for the scenarios that need a window manager as users have one: it moves, stacks
# and focuses windows by its own rules.
start_wm() {
  for tool in openbox xprop; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: app-under-x11: $tool is not installed" >&2; exit 77; }
  done
  # The X server gives its keyboard the keymap of the device that typed last, and tells every
  # client so when the typing device changes: openbox then lets go of its keys and grabs them
  # again, and an Alt+F4 typed meanwhile reaches the focused window instead, which ignores it.
  # The scenarios type through XTest, so XTest's keyboard types once before openbox starts.
  xdotool key shift || fail "xdotool could not type"
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  within 50 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
}
need_python() {
  command -v python3 >/dev/null 2>&1 || { echo "SKIP: app-under-x11: python3 is not installed" >&2; exit 77; }
}

# A 26-pixel tray bar along edge $1, aligned to $2, as a desktop's panel strip would be.
start_tray_bar() {
  trayer --edge "$1" --align "$2" --widthtype request --height 26 >/dev/null 2>&1 &
  pids+=($!)
  within 50 xdotool search --classname trayer >/dev/null || fail "trayer did not start"
}

# A Wayland session as the app sees it; the bus passes the choice on to what it starts.
bus_config=(--session)
case "$scenario" in
portal-shortcut | record-held-shortcut-portal)
  # The desktop's shortcut portal with its KDE backend, started by the bus on demand.
  [ -x /usr/libexec/xdg-desktop-portal ] || { echo "SKIP: app-under-x11: the desktop portal is not installed" >&2; exit 77; }
  offer_key_daemon || { echo "SKIP: app-under-x11: KDE's key daemon is not installed" >&2; exit 77; }
  mkdir -p "$home/cache"
  export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE XDG_CACHE_HOME="$home/cache"
  offer_settings_stand_ins "$home/bin" "$home/settings-opened"
  ;;
no-portal-shortcut | opened-program-environment | no-keyring | keyring-started-later | keyring-installed-later | keyring-locked)
  # No service the bus could start: no portal, no keyring. A session bus always reads the
  # system's service folder, whatever XDG_DATA_DIRS says, so this one is configured without any,
  # but a folder of the test's own where a keyring may be installed while the app runs.
  mkdir -p "$home/services"
  printf '%s\n' '<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>' \
    "<servicedir>$home/services</servicedir>" \
    '<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>' \
    '<allow own="*"/></policy></busconfig>' >"$home/no-services.conf"
  bus_config=(--config-file="$home/no-services.conf")
  case "$scenario" in
  no-keyring | keyring-*) ;;
  *) export XDG_SESSION_TYPE=wayland ;;
  esac
  ;;
esac

# A private session bus, with no keyring on it.
bus=$(dbus-daemon "${bus_config[@]}" --fork --print-address=1 --print-pid=1) || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | head -n1)
pids+=($(echo "$bus" | sed -n 2p))

start_app() {
  # The portal chooses its KDE backend by the desktop's name in the bus's environment; the
  # application is told none, so that KDE's Qt plugin, where a Plasma desktop is installed, does
  # not take its tray icon away from the test's X tray.
  env -u XDG_CURRENT_DESKTOP "$app" "$@" >>"$home/app.log" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
}

panel_visible() { xdotool search --onlyvisible --name '^vantora$' >/dev/null 2>&1; }
panel_window() { xdotool search --onlyvisible --name '^vantora$' | head -n1; }
# Sets X, Y, WIDTH and HEIGHT to the geometry of window $1 on the screen.
geometry_of() { eval "$(xdotool getwindowgeometry --shell "$1")"; }
# A frameless tool window beside the icon, as opposed to an ordinary window.
panel_beside_icon() { xprop -id "$(panel_window)" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_UTILITY; }
# The tray bar's window.
tray_bar_window() { xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}'; }
# Fails unless the open panel stays clear of the tray bar and lies within $1 pixels of the icon.
panel_clear_of_tray_and_near_icon() {
  geometry_of "$(tray_bar_window)"
  local bar_top=$Y bar_bottom=$((Y + HEIGHT))
  geometry_of "$(icon_window)"
  local icon_x=$((X + WIDTH / 2)) icon_y=$((Y + HEIGHT / 2))
  geometry_of "$(panel_window)"
  [ $((Y + HEIGHT)) -le "$bar_top" ] || [ "$Y" -ge "$bar_bottom" ] ||
    fail "the panel at $X,$Y (${WIDTH}x$HEIGHT) covers the tray bar from $bar_top to $bar_bottom"
  local dx=$((icon_x < X ? X - icon_x : icon_x > X + WIDTH ? icon_x - X - WIDTH : 0))
  local dy=$((icon_y < Y ? Y - icon_y : icon_y > Y + HEIGHT ? icon_y - Y - HEIGHT : 0))
  [ "$dx" -le "$1" ] && [ "$dy" -le "$1" ] ||
    fail "the panel at $X,$Y (${WIDTH}x$HEIGHT) is far from the icon at $icon_x,$icon_y"
}
# The height of the amber notice in window $window, down the column left of its text: a line of
# its own ("Something went wrong.") or several (a notice that says what to do). ImageMagick 7
# says more than the answer on its last line.
notice_height() {
  import -window "$window" "$home/window.png" 2>/dev/null &&
    convert "$home/window.png" -crop 1x200+22+0 +repage -fx 'r > 0.9 && g > 0.75 && b < 0.75' \
      -format '%[fx:round(mean*h)]\n' info: | tail -n 1
}
store_show_shortcut() {
  # Ctrl+Alt+K for "show or hide the panel", as the shortcuts page would store it.
  mkdir -p "$home/config/vantora"
  printf '%s' '{"format": 1, "values": {"GlobalShortcuts_showVantora": {"type": "string",
    "value": "{\"carbonKeyCode\":40,\"carbonModifiers\":6144}"}}}' >"$home/config/vantora/defaults.json"
}
panel_hidden() { ! panel_visible; }
# The fake bridge, listening on this machine only; the application reaches it at 127.0.0.1,
# and every request it gets is a line of $home/requests.log. Before start_app.
start_fake_bridge() {
  [ -n "${VANTORA_FAKE_BRIDGE:-}" ] || { echo "SKIP: app-under-x11: no fake bridge was given" >&2; exit 77; }
  "$VANTORA_FAKE_BRIDGE" "$home/bridge-port" "$home/requests.log" "$VANTORA_FAKE_BRIDGE_HOME" 127.0.0.1 \
    >"$home/bridge.log" 2>&1 &
  pids+=($!)
  within 100 test -s "$home/bridge-port" || fail "the fake bridge did not listen"
  export VANTORA_TEST_BRIDGE_PORT=$(cat "$home/bridge-port") VANTORA_TEST_BRIDGE_ROOTS=$VANTORA_FAKE_BRIDGE_ROOTS
}
requested() { grep -q "$1" "$home/requests.log" 2>/dev/null; }
# The bridge's answers to pairing: the fake one refuses twice, then gives its key, so one
# pairing asks three times.
pairing_requests() { grep -c 'POST /api ' "$home/requests.log" 2>/dev/null || true; }
# Pairs by "Enter Bridge IP address…" of the welcome screen's menu in window $window.
pair_at_this_machine() {
  xdotool mousemove --window "$window" 40 200 click 3
  sleep 0.5
  xdotool key Down Return
  sleep 0.5
  xdotool type 127.0.0.1
  xdotool key Return
}
# The welcome screen's pill in window $window, Pair Bridge or Try again after a failure: a
# notice above pushes the screen down and the window grows by as much.
press_pill() {
  geometry_of "$window"
  xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT - 99)) click 1
}
# Try again, at the right end of the pill that tells a failure, once the window shows it
# and holds still.
press_try_again() {
  xdotool windowactivate --sync "$window"
  python3 "$xwindows" settled "$window" 10 >/dev/null || fail "the window did not hold still"
  geometry_of "$window"
  xdotool mousemove --window "$window" $((WIDTH / 2 + 78)) $((HEIGHT - 99)) click 1
}
dialog_shown() { [ -n "$(shown_windows_of_type DIALOG)" ]; }
# The button left of a question's default, which is Cancel.
press_button_before_cancel() {
  xdotool windowactivate --sync "$(shown_windows_of_type DIALOG | head -n1)"
  sleep 0.3
  xdotool key shift+Tab space
}
saved_key() { secret-tool lookup service org.vantora.Vantora account bridge-connection 2>/dev/null; }
# The icon's window, once trayer (its "panel" window) holds it.
icon_window() {
  xwininfo -root -tree 2>/dev/null | grep -A4 '"panel": ("panel" "trayer")' | grep '"vantora": ("vantora"' |
    awk '{print $1}' | head -n1
}
icon_embedded() { [ -n "$(icon_window)" ]; }
click_icon() { xdotool mousemove --window "$(icon_window)" 11 11 click 1; }
open_panel() {
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  click_icon
  within 50 panel_visible || fail "a click on the icon did not open the panel"
  panel=$(panel_window)
}
# Another program's window, for the person to leave the panel for; its id in $other.
start_other_program() {
  command -v xmessage >/dev/null 2>&1 || { echo "SKIP: app-under-x11: xmessage is not installed" >&2; exit 77; }
  xmessage -geometry +200+400 "another program" >/dev/null 2>&1 &
  pids+=($!)
  within 50 xdotool search --name '^xmessage$' >/dev/null || fail "xmessage did not start"
  other=$(xdotool search --name '^xmessage$' | head -n1)
}
panel_focused() { [ "$(xdotool getwindowfocus getwindowname)" = vantora ]; }
# Alt+F4 closes the window that has the keyboard: the key waits until the panel has it, as the
# window manager gives it a moment after the activation it was asked for.
close_panel_by_keys() {
  xdotool windowactivate --sync "$(panel_window)"
  within 50 panel_focused || fail "the window to close did not get the keyboard"
  xdotool key alt+F4
}
marker_set() { grep -q '"vantora.sessionWasRunning"' "$home/config/vantora/defaults.json" 2>/dev/null; }
# The application's shown windows of type $1, also those inside the window manager's frames.
shown_windows_of_type() {
  for window in $(xwininfo -root -tree | awk '/"vantora": \("vantora" "vantora"\)/ {print $1}'); do
    xwininfo -id "$window" | grep -q 'IsViewable' &&
      xprop -id "$window" _NET_WM_WINDOW_TYPE | grep -q "_NET_WM_WINDOW_TYPE_$1" && echo "$window"
  done
}
# The application's shown popup: a window on the root that the window manager leaves alone.
shown_popup() {
  for window in $(xwininfo -root -children | awk '/"vantora": \("vantora" "vantora"\)/ {print $1}'); do
    xwininfo -id "$window" | grep -q 'IsViewable' && xwininfo -id "$window" | grep -q 'Override Redirect State: yes' &&
      echo "$window"
  done
}
# "Reset connection…" from the tray icon's menu.
reset_from_tray_menu() {
  xdotool mousemove --window "$(icon_window)" 11 11 mousedown 3 mouseup 3
  sleep 0.5
  # Show, About, Check for updates, Preferences, Reset connection.
  xdotool key Down Down Down Down Down Return
}
# Fails unless the confirmation opens on the shown panel.
confirmation_on_panel() {
  within 50 bash -c "$(declare -f shown_windows_of_type); [ -n \"\$(shown_windows_of_type DIALOG)\" ]" ||
    fail "no confirmation opened"
  sleep 0.5
  local panel
  panel=$(shown_windows_of_type UTILITY)
  [ -n "$panel" ] || fail "the panel did not open for the confirmation"
  geometry_of "$(shown_windows_of_type DIALOG | head -n1)"
  local centre_x=$((X + WIDTH / 2)) centre_y=$((Y + HEIGHT / 2))
  geometry_of "$panel"
  [ "$centre_x" -ge "$X" ] && [ "$centre_x" -le $((X + WIDTH)) ] && [ "$centre_y" -ge "$Y" ] &&
    [ "$centre_y" -le $((Y + HEIGHT)) ] ||
    fail "the confirmation centred at $centre_x,$centre_y is not on the panel at $X,$Y (${WIDTH}x$HEIGHT)"
}

case "$scenario" in
tray-click)
  # A click on the icon toggles the panel: the click that takes the focus from the open panel
  # closes it for good, and a click after the panel went for another window opens it, however
  # soon it comes.
  need_python
  start_wm
  start_other_program
  open_panel
  geometry_of "$panel"
  [ "$Y" -lt 100 ] && [ "$X" -gt 600 ] || fail "the panel is not beside the icon (at $X,$Y)"
  within 30 panel_focused || fail "the opened panel has no keyboard"
  click_icon
  within 50 panel_hidden || fail "a click on the icon did not close the open panel"
  # Whatever the click set off has run once the application answers a ping sent after it.
  python3 "$xwindows" ping "$panel" 5 || fail "the application did not answer after the click"
  panel_hidden || fail "the click on the icon that closed the panel opened it again"
  click_icon
  within 50 panel_visible || fail "a click on the icon did not open the panel it had closed"
  for pause in 0 0.2; do
    within 30 panel_focused || fail "the opened panel has no keyboard"
    xdotool mousemove --window "$other" 20 20 click 1
    within 50 panel_hidden || fail "the panel stayed open after a click on another window"
    sleep "$pause"
    click_icon
    within 50 panel_visible || fail "a click on the icon ${pause} s after the panel went for another window did not open it"
  done
  ;;
tray-click-after-command)
  # Clicks close upon a command or upon each other: each ends with the panel opening on the
  # next click.
  need_python
  start_wm
  open_panel
  # Ctrl+, on the open panel, then the icon clicked at once: it closes, and opens again.
  sleep 0.5
  xdotool key ctrl+comma
  sleep 0.1
  click_icon
  within 50 panel_hidden || fail "a click right after Ctrl+, left the panel open"
  sleep 0.5
  click_icon
  within 50 panel_visible || fail "after Ctrl+, and a click that closed it the panel did not open again"
  sleep 0.5
  click_icon
  within 50 panel_hidden || fail "a click on the icon did not close the open panel"
  # "Show" from the tray menu, then the icon clicked at once.
  sleep 0.5
  xdotool mousemove --window "$(icon_window)" 11 11 mousedown 3 mouseup 3
  within 50 bash -c "$(declare -f shown_popup); [ -n \"\$(shown_popup)\" ]" || fail "the tray menu did not open"
  xdotool key Down Return
  within 50 panel_visible || fail "the tray menu's Show did not open the panel"
  sleep 0.1
  click_icon
  within 50 panel_hidden || fail "a click right after the tray menu's Show left the panel open"
  sleep 0.5
  click_icon
  within 50 panel_visible || fail "after the tray menu's Show and a click that closed it the panel did not open again"
  # Two clicks close together, which the toolkit tells as a click and a double click: each
  # counts. Once the application answers a ping sent after them, it has had both.
  for expected in visible hidden; do
    sleep 0.5
    xdotool mousemove --window "$(icon_window)" 11 11 click --repeat 2 --delay 150 1
    python3 "$xwindows" ping "$panel" 5 || fail "the application did not answer after two quick clicks"
    within 50 "panel_$expected" || fail "two quick clicks on the $expected panel left it not $expected"
    sleep 0.5
    click_icon
  done
  within 50 panel_visible || fail "the panel did not open on a click after two quick ones"
  ;;
tray-leave-after-command)
  # The panel goes when the person leaves it for another window, however it was shown: by Show
  # in the tray menu (closed or open), by Ctrl+, on it, each read a moment first. The other
  # window gets the keyboard and keeps it, and the next click on the icon opens the panel.
  need_python
  start_wm
  start_other_program
  open_panel
  show_from_tray_menu() {
    xdotool mousemove --window "$(icon_window)" 11 11 mousedown 3 mouseup 3
    within 50 bash -c "$(declare -f shown_popup); [ -n \"\$(shown_popup)\" ]" || fail "the tray menu did not open"
    xdotool key Down Return
  }
  leave_panel() {
    within 50 panel_visible || fail "$1 did not show the panel"
    within 30 panel_focused || fail "the panel shown by $1 has no keyboard"
    # The person reads the panel without touching it.
    sleep 1
    xdotool mousemove --window "$other" 20 20 click 1
    within 50 panel_hidden || fail "a click on another window left the panel shown by $1"
    # Whatever the click set off has run once the application answers a ping sent after it.
    python3 "$xwindows" ping "$panel" 5 || fail "the application did not answer after the click elsewhere"
    panel_hidden || fail "the panel shown by $1 came back after the click elsewhere"
    [ "$(xdotool getwindowfocus)" = "$other" ] || fail "the panel shown by $1 took the keyboard back"
    sleep 0.5
    click_icon
    within 50 panel_visible || fail "after the panel shown by $1 was left, a click on the icon did not open it"
  }
  click_icon
  within 50 panel_hidden || fail "a click on the icon did not close the open panel"
  sleep 0.5
  show_from_tray_menu
  leave_panel "Show in the tray menu"
  within 30 panel_focused || fail "the panel opened by a click has no keyboard"
  show_from_tray_menu
  leave_panel "Show in the tray menu over the open panel"
  within 30 panel_focused || fail "the panel opened by a click has no keyboard"
  xdotool key ctrl+comma
  leave_panel "Ctrl+,"
  ;;
pairing-escape)
  # No bridge yet: the panel shows the pairing screen, which Escape closes as every page.
  start_wm
  start_tray
  start_app
  within 100 icon_embedded || fail "the tray icon was not embedded"
  # The first start's welcome window; closed, it leaves the application in the tray.
  within 100 panel_visible || fail "the first start showed no window"
  close_panel_by_keys
  within 50 panel_hidden || fail "the welcome window did not close"
  for round in 1 2; do
    sleep 0.5
    click_icon
    within 50 panel_visible || fail "a click on the icon did not open the panel (round $round)"
    panel_beside_icon || fail "the icon opened no panel beside it"
    within 30 panel_focused || fail "the panel has no keyboard"
    xdotool key Escape
    within 50 panel_hidden || fail "Escape on the pairing screen left the panel open (round $round)"
  done
  ;;
keyboard-grab)
  # A keyboard grab (a screen reader's key listener holds the keyboard for a moment) takes the
  # focus from the panel and hands it back as it ends: the person has not left, and the panel
  # stays. When the focus goes to another window meanwhile, they have, and it goes.
  need_python
  start_wm
  start_other_program
  open_panel
  within 30 panel_focused || fail "the opened panel has no keyboard"
  # Longer than the pause after which Qt reports a lost focus as a deactivation.
  python3 "$xwindows" grab-keyboard 1.5 >"$home/grab" &
  grab=$!
  within 50 grep -q grabbed "$home/grab" || fail "the keyboard could not be grabbed"
  wait "$grab"
  python3 "$xwindows" ping "$panel" 5 || fail "the application did not answer after the grab"
  panel_visible || fail "a keyboard grab closed the panel"
  within 30 panel_focused || fail "the panel did not get the keyboard back after the grab"
  python3 "$xwindows" grab-keyboard 1.5 >"$home/grab" &
  grab=$!
  within 50 grep -q grabbed "$home/grab" || fail "the keyboard could not be grabbed again"
  xdotool windowfocus "$other"
  wait "$grab"
  within 50 panel_hidden || fail "the focus went to another window during a grab and the panel stayed"
  ;;
no-tray | no-tray-second-launch)
  # No tray host on the desktop: the application shows the panel as a window, without waiting
  # for a tray. Started again meanwhile, it shows that window, never a panel beside no icon.
  start_app --demo
  if [ "$scenario" = no-tray-second-launch ]; then
    # Once the first copy listens for later launches.
    within 100 bash -c "ls '$home/runtime/'*.socket" >/dev/null 2>&1 || fail "the first copy did not start"
    "$app" --demo >"$home/second.log" 2>&1 || fail "the second launch exited with $?"
  fi
  within 200 panel_visible || fail "the panel did not come up as a window without a tray"
  panel_beside_icon && fail "without a tray the panel came up beside no icon"
  [ "$(xdotool search --onlyvisible --classname '^vantora$' | wc -l)" -eq 1 ] ||
    fail "$(xdotool search --onlyvisible --classname '^vantora$' | wc -l) windows came up"
  ;;
no-tray-put-away)
  # Without a tray, Escape and the show-or-hide shortcut minimise the window, which stays in
  # the task bar; the shortcut and another launch bring it back with the keyboard. Only closing
  # the window ends the application.
  store_show_shortcut
  start_wm
  start_app --demo
  within 200 panel_visible || fail "the panel did not come up as a window without a tray"
  window=$(panel_window)
  iconic() { xprop -id "$window" WM_STATE | grep -q 'window state: Iconic'; }
  back() { ! iconic && xwininfo -id "$window" | grep -q IsViewable && panel_focused; }
  within 50 panel_focused || fail "the window came up without the keyboard"
  for put_away in Escape ctrl+alt+k; do
    for bring_back in ctrl+alt+k "another launch"; do
      xdotool key "$put_away"
      within 50 iconic || fail "$put_away did not minimise the window"
      kill -0 "$app_pid" 2>/dev/null || fail "$put_away ended the application"
      if [ "$bring_back" = "another launch" ]; then
        "$app" --demo >>"$home/second.log" 2>&1 || fail "the other launch exited with $?"
      else
        xdotool key "$bring_back"
      fi
      within 50 back || fail "$bring_back did not bring back the window $put_away minimised"
    done
  done
  # The key held as a hand holds a chord: its grab takes the window's activation while it is
  # down and gives it back as it comes up, just as it minimises or brings back the window.
  for hold in 0.1 0.3; do
    for round in 1 2 3 4; do
      xdotool keydown ctrl+alt+k && sleep "$hold" && xdotool keyup ctrl+alt+k
      within 50 iconic || fail "ctrl+alt+k held ${hold} s did not minimise the window (round $round)"
      xdotool keydown ctrl+alt+k && sleep "$hold" && xdotool keyup ctrl+alt+k
      within 50 back || fail "ctrl+alt+k held ${hold} s did not bring back the window (round $round)"
    done
  done
  close_panel_by_keys
  within 100 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "Alt+F4 on the window left the application running"
  wait "$app_pid"
  status=$?
  [ "$status" -eq 0 ] || fail "Alt+F4 on the window ended the application with $status"
  ;;
second-launch)
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  panel_hidden || fail "the panel opened by itself"
  "$app" --demo >"$home/second.log" 2>&1 || fail "the second launch exited with $?"
  within 50 panel_visible || fail "the second launch did not show the first copy's panel"
  kill -0 "$app_pid" || fail "the first copy ended"
  ;;
stale-lock)
  start_tray
  start_app
  within 100 marker_set || fail "no session marker was written"
  kill -9 "$app_pid"
  wait "$app_pid" 2>/dev/null
  marker_set || fail "the marker is gone after kill -9"
  within 50 bash -c "! xwininfo -root -tree | grep -q '\"vantora\": (\"vantora\"'" || fail "the killed copy's windows stayed"
  start_app
  within 100 icon_embedded || fail "a lock left by a killed copy blocked the next launch"
  ;;
sigterm)
  start_tray
  for signal in TERM INT HUP; do
    start_app
    within 100 marker_set || fail "no session marker was written"
    # With the panel open: a quit must not wait for the windows to agree to close.
    within 100 icon_embedded || fail "the tray icon was not embedded"
    click_icon
    within 50 panel_visible || fail "the panel did not open"
    kill -s "$signal" "$app_pid"
    within 100 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "SIG$signal did not end the application"
    wait "$app_pid" 2>/dev/null
    status=$?
    [ "$status" -eq 0 ] || fail "after SIG$signal the application exited with $status"
    marker_set && fail "SIG$signal left the session marker behind"
  done
  ;;
x-server-gone)
  # Many desktop sessions end with the X server going first; the application must end its
  # session as on a normal quit. This copy gets an X server of its own to lose.
  Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 640x480x24 3>"$home/own-display" 2>/dev/null &
  own_x=$!
  pids+=($own_x)
  within 100 grep -q . "$home/own-display" || fail "no X server of its own"
  DISPLAY=":$(head -n1 "$home/own-display")" start_app
  within 100 marker_set || fail "no session marker was written"
  kill "$own_x"
  within 100 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the application outlived its X server"
  marker_set && fail "an X server that went away left the session marker behind"
  ;;
leave-light-page)
  # A light's page destroyed under the pointer by its own "All lights" button, round after
  # round: the application lives on, with nothing for the sanitizers to report.
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  click_icon
  within 50 panel_visible || fail "a click on the icon did not open the panel"
  eval "$(xdotool search --onlyvisible --name '^vantora$' getwindowgeometry --shell)"
  for round in 1 2 3 4; do
    # "Bedside lamp", the first row of the demonstration home, then the page's back button.
    xdotool mousemove $((X + 143)) $((Y + 164)) mousedown 1 mouseup 1
    sleep 0.5
    xdotool mousemove $((X + 80)) $((Y + 42)) mousedown 1 mouseup 1
    sleep 0.5
    kill -0 "$app_pid" 2>/dev/null || fail "the application ended in round $round: $(grep -m1 -E 'runtime error|ERROR' "$home/app.log")"
  done
  panel_visible || fail "the panel closed on the way"
  grep -E 'runtime error|ERROR: AddressSanitizer' "$home/app.log" && fail "the sanitizers reported a fault"
  ;;
menu-preview)
  start_tray
  start_app --menu-preview
  within 50 panel_visible || fail "--menu-preview did not open the panel by itself"
  ;;
shortcut)
  store_show_shortcut
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  xdotool key ctrl+alt+k
  within 50 panel_visible || fail "the shortcut did not open the panel"
  within 30 bash -c '[ "$(xdotool getwindowfocus getwindowname)" = vantora ]' || fail "the opened panel has no focus"
  xdotool key ctrl+alt+k
  within 50 panel_hidden || fail "the shortcut did not close the panel"
  ;;
portal-shortcut)
  store_show_shortcut
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  within 50 key_daemon_holds 'Show or hide app' || fail "the desktop did not bind the stored shortcut"
  # Another X client has the focus, none of the app's windows.
  xmessage -geometry +300+300 "another program" >/dev/null 2>&1 &
  pids+=($!)
  within 50 xdotool search --name '^xmessage$' >/dev/null || fail "xmessage did not start"
  other=$(xdotool search --name '^xmessage$' | head -n1)
  press_in_other_program() {
    for expected in visible hidden; do
      xdotool windowfocus --sync "$other"
      [ "$(xdotool getwindowfocus)" = "$other" ] || fail "the other program has no focus"
      xdotool key ctrl+alt+k
      within 50 "panel_$expected" || fail "the shortcut pressed in another program left the panel not $expected"
    done
  }
  press_in_other_program
  # Started again with the same shortcut, the app finds it bound and asks the desktop for
  # nothing: no bind request, no settings window, and the shortcut still fires.
  kill "$app_pid"
  wait "$app_pid"
  rm -f "$home/settings-opened"
  dbus-monitor --session "type='method_call',interface='org.freedesktop.portal.GlobalShortcuts'" \
    >"$home/portal-calls" 2>/dev/null &
  pids+=($!)
  within 50 grep -q 'NameAcquired' "$home/portal-calls" || fail "dbus-monitor did not start"
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded after the restart"
  within 50 grep -q 'member=ListShortcuts' "$home/portal-calls" ||
    fail "the restarted app did not ask the desktop what it holds"
  sleep 1
  press_in_other_program
  ! grep -q 'member=BindShortcuts' "$home/portal-calls" || fail "the restart asked the desktop to bind again"
  [ ! -e "$home/settings-opened" ] || fail "the desktop's settings were opened: $(cat "$home/settings-opened")"
  grep -q "global shortcuts go through the desktop's shortcut portal" "$home/app.log" ||
    fail "the log does not say which shortcuts the app uses"
  ;;
no-portal-shortcut)
  store_show_shortcut
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  xdotool key ctrl+alt+k
  within 50 panel_visible || fail "without a portal the shortcut did not open the panel through X11"
  ! key_daemon_holds 'Show or hide app' || fail "a key daemon bound the shortcut"
  ;;
record-held-shortcut | record-held-shortcut-portal)
  # A slow hand: the new shortcut is held well past the keyboard's repeat delay. Neither the
  # repeats nor the release may fire it; pressed again, it works. Through X11 grabs, and
  # through the desktop's shortcut portal.
  start_wm
  open_panel
  # Preferences… from the tray icon's menu: Show, About, Check for updates, Preferences.
  xdotool mousemove --window "$(icon_window)" 11 11 mousedown 3 mouseup 3
  sleep 0.5
  xdotool key Down Down Down Down Return
  sleep 1
  panel=$(panel_window)
  [ -n "$panel" ] || fail "Preferences… left no panel open"
  stored() { grep -q "\"GlobalShortcuts_$1\"" "$home/config/vantora/defaults.json" 2>/dev/null; }
  # The recorders of "Show or hide app" and "Toggle all lights", at the right of their rows.
  for row in "toggleHomeLights 222 l" "showVantora 148 k"; do
    read -r name y key <<<"$row"
    xdotool mousemove --window "$panel" 341 "$y" click 1
    sleep 0.3
    xdotool keydown ctrl+alt+"$key"
    sleep 1.5
    xdotool keyup "$key" keyup ctrl+alt
    within 30 stored "$name" || fail "Ctrl+Alt+${key^^} was not recorded for $name"
    sleep 1
    panel_visible || fail "recording Ctrl+Alt+${key^^} for $name, held, fired it and closed the panel"
  done
  # Through the portal the keys fire only once the desktop holds them, which takes a moment
  # longer than storing them.
  if [ "$scenario" = record-held-shortcut-portal ]; then
    within 50 key_daemon_holds 'Show or hide app' || fail "the desktop did not bind the recorded Ctrl+Alt+K"
    # Listed under one name, the program's, though the desktop bound them under its id.
    for action in 'Show or hide app' 'Toggle all lights'; do
      within 50 key_daemon_lists_under_ours "$action" ||
        fail "the desktop lists \"$action\" under \"$(key_daemon_program_name "$action")\", not vantora"
    done
  fi
  xdotool key ctrl+alt+k
  within 50 panel_hidden || fail "the recorded Ctrl+Alt+K did not hide the panel once pressed again"
  ;;
panel-drag | panel-drag-openbox)
  [ "$scenario" = panel-drag-openbox ] && start_wm
  open_panel
  # By the header row (between the logo and the all-lights button), then by the strip along
  # the top edge; each drag 300 to the left and 240 down, in steps as a hand moves.
  for grab in "200 30" "300 5"; do
    eval "$(xdotool getwindowgeometry --shell "$panel")"
    to_x=$((X - 300)) to_y=$((Y + 240))
    xdotool mousemove --window "$panel" $grab mousedown 1
    for _ in 1 2 3 4 5 6; do
      xdotool mousemove_relative -- -50 40
      sleep 0.05
    done
    xdotool mouseup 1
    # Longer than the pause after which Qt reports a lost focus as a deactivation.
    sleep 0.6
    panel_visible || fail "the panel vanished when dragged at $grab"
    eval "$(xdotool getwindowgeometry --shell "$panel")"
    [ "$X,$Y" = "$to_x,$to_y" ] || fail "dragged at $grab the panel is at $X,$Y instead of $to_x,$to_y"
  done
  ;;
light-pages)
  need_python
  start_wm
  open_panel
  # The panel's picture once it holds still, with the pointer away from it (no hover).
  settled() {
    xdotool mousemove 5 790
    python3 "$xwindows" settled "$panel" 60
  }
  unsettled() {
    kill -0 "$app_pid" 2>/dev/null || fail "$1: the application ended: $(tail -n 20 "$home/app.log")"
    fail "$1"
  }
  # The five demo lights: three rows at the top of the list, two at its end.
  rows=(top:164 top:236 top:394 end:312 end:384)
  declare -A pages
  shown=top
  for round in 1 2 3 4 5 6; do
    for row in "${rows[@]}"; do
      part=${row%%:*} y=${row##*:}
      if [ "$part" != "$shown" ]; then
        xdotool mousemove --window "$panel" 200 300 click --repeat 10 --delay 20 "$([ "$part" = top ] && echo 4 || echo 5)"
        shown=$part
      fi
      list=$(settled) || unsettled "round $round: the list did not settle"
      xdotool mousemove --window "$panel" 200 "$y" click 1
      page=$(settled) || unsettled "round $round: the page of the row at $part $y did not settle"
      [ "$page" != "$list" ] || fail "round $round: a click on the row at $part $y opened no page"
      [ -z "${pages[$row]:-}" ] || [ "${pages[$row]}" = "$page" ] ||
        fail "round $round: the row at $part $y opened another page than in round 1"
      pages[$row]=$page
      xdotool mousemove --window "$panel" 80 42 click 1 # "All lights"
      back=$(settled) || unsettled "round $round: the list did not come back from the row at $part $y"
      [ "$back" = "$list" ] || fail "round $round: \"All lights\" from the row at $part $y did not bring back the list as it was"
    done
  done
  [ "$(printf '%s\n' "${pages[@]}" | sort -u | wc -l)" -eq 5 ] || fail "five lights did not open five different pages"
  ! grep -E 'runtime error|ERROR: AddressSanitizer' "$home/app.log" || fail "the sanitizers reported a fault"
  ;;
exercise)
  # Random input for $1 seconds (default 45) from seed $2 (default 1); see exerciser.py.
  # Ctrl+Alt+K shows or hides the panel, Ctrl+Alt+L toggles all lights.
  need_python
  mkdir -p "$home/config/vantora"
  printf '%s' '{"format": 1, "values": {"GlobalShortcuts_showVantora": {"type": "string",
    "value": "{\"carbonKeyCode\":40,\"carbonModifiers\":6144}"}, "GlobalShortcuts_toggleHomeLights":
    {"type": "string", "value": "{\"carbonKeyCode\":37,\"carbonModifiers\":6144}"}}}' \
    >"$home/config/vantora/defaults.json"
  start_wm
  start_tray
  python3 "$here/../exerciser/exerciser.py" "$app" "${1:-45}" "${2:-1}" "$home/app.log" || exit 1
  ;;
late-tray)
  # The tray starts only after the application gave up waiting for one.
  start_app --demo
  within 200 panel_visible || fail "the panel did not come up as a window without a tray"
  panel_beside_icon && fail "without a tray the panel is not an ordinary window"
  start_tray
  tray_pid=${pids[-1]}
  within 100 icon_embedded || fail "the tray icon was not embedded"
  within 50 panel_hidden || fail "the window stayed open when the tray came"
  sleep 0.5
  click_icon
  within 50 panel_visible || fail "a click on the icon did not open the panel"
  panel_beside_icon || fail "the panel opened as an ordinary window beside a tray"
  geometry_of "$(panel_window)"
  [ "$Y" -lt 100 ] && [ "$X" -gt 600 ] || fail "the panel is not beside the icon (at $X,$Y)"
  xdotool mousemove 100 700 click 1
  xdotool windowfocus "$(xwininfo -root | awk '/Window id/ {print $4}')"
  within 50 panel_hidden || fail "the panel stayed open after it lost the focus"
  # The tray goes away: the window comes back.
  kill "$tray_pid"
  within 50 panel_visible || fail "the panel did not come back as a window when the tray went"
  panel_beside_icon && fail "the panel stayed a tool window without a tray"
  ;;
shortcut-top-tray | shortcut-bottom-left-tray | menu-preview-top-tray)
  # Opened by the shortcut or by itself, the panel goes beside the icon and stays clear of
  # the bar.
  store_show_shortcut
  start_wm
  if [ "$scenario" = shortcut-bottom-left-tray ]; then start_tray_bar bottom left; else start_tray_bar top right; fi
  xdotool mousemove 640 400
  if [ "$scenario" = menu-preview-top-tray ]; then
    start_app --menu-preview
    within 50 panel_visible || fail "--menu-preview did not open the panel by itself"
  else
    start_app --demo
    within 100 icon_embedded || fail "the tray icon was not embedded"
    xdotool key ctrl+alt+k
    within 50 panel_visible || fail "the shortcut did not open the panel"
  fi
  # Placed, then grown as its content arrives.
  sleep 1
  panel_clear_of_tray_and_near_icon 40
  ;;
reset-confirmation)
  # "Reset connection…" from the tray menu opens the panel and asks on it, beside the
  # preview window that this flag opens too.
  start_wm
  start_tray_bar top right
  start_app --slow-preview
  within 100 icon_embedded || fail "the tray icon was not embedded"
  # The preview's connection arrives a little after the start.
  sleep 3
  reset_from_tray_menu
  confirmation_on_panel
  ;;
reset-after-tray-hide)
  # Hidden by a click on the icon, the panel is closed for every command, however it was
  # opened: "Reset connection…" opens it again and asks on it.
  store_show_shortcut
  start_wm
  start_tray_bar top right
  start_app --slow-preview
  within 100 icon_embedded || fail "the tray icon was not embedded"
  sleep 3
  # The preview window this flag opens is titled as the panel is: the panel is the tool window.
  panel_shown() { [ -n "$(shown_windows_of_type UTILITY)" ]; }
  panel_gone() { ! panel_shown; }
  xdotool key ctrl+alt+k
  within 50 panel_shown || fail "the shortcut did not open the panel"
  # Then as opened by the command itself, after its question was cancelled: the focus went
  # from the question to the preview window, not back to the panel.
  for opened_by in "the shortcut" "Reset connection"; do
    sleep 0.5
    xdotool mousemove --window "$(icon_window)" 11 11 mousedown 1 mouseup 1
    within 50 panel_gone || fail "a click on the icon did not close the panel opened by $opened_by"
    sleep 0.5
    reset_from_tray_menu
    confirmation_on_panel
    xdotool key Escape
    within 50 bash -c "$(declare -f shown_windows_of_type); [ -z \"\$(shown_windows_of_type DIALOG)\" ]" ||
      fail "Escape did not cancel the confirmation"
  done
  ;;
tray-gone-with-question)
  # The tray goes while the reset question is open over the panel: the question stays above the
  # window the panel becomes, with the keyboard, and another launch brings it forward.
  start_wm
  start_tray_bar top right
  tray_pid=${pids[-1]}
  start_app --slow-preview
  within 100 icon_embedded || fail "the tray icon was not embedded"
  # The preview's connection arrives a little after the start. Its window would stand for the
  # panel once the tray went: it is closed, as a person closes it.
  sleep 3
  preview=$(xdotool search --onlyvisible --name '^vantora Preview$' | head -n1)
  xdotool windowactivate --sync "$preview" key alt+F4
  within 50 bash -c "! xdotool search --onlyvisible --name '^vantora Preview$'" || fail "the preview window did not close"
  reset_from_tray_menu
  confirmation_on_panel
  question=$(shown_windows_of_type DIALOG | head -n1)
  # The panel as an ordinary window: titled as the preview window is not, typed as the question is too.
  panel_as_window() {
    for shown in $(shown_windows_of_type NORMAL); do
      [ "$shown" != "$question" ] && [ "$(xdotool getwindowname "$shown")" = vantora ] && echo "$shown"
    done
  }
  kill "$tray_pid"
  within 50 bash -c "$(declare -f shown_windows_of_type panel_as_window); question=$question; [ -n \"\$(panel_as_window)\" ]" ||
    fail "the panel did not become a window when the tray went"
  window=$(panel_as_window | head -n1)
  # Bottom to top, as the window manager stacks them.
  above() { xprop -root _NET_CLIENT_LIST_STACKING | tr -d , | tr ' ' '\n' | grep -n "$(printf '0x%x' "$1")" | cut -d: -f1; }
  question_above() { [ "$(above "$question")" -gt "$(above "$window")" ]; }
  question_on_top() { question_above && [ "$(printf '0x%x' "$(xdotool getwindowfocus)")" = "$(printf '0x%x' "$question")" ]; }
  within 50 question_on_top || fail "the question is not above the window with the keyboard"
  # A click on the window it blocks leaves it above.
  xdotool mousemove --window "$window" 20 20 click 1
  within 50 question_above || fail "a click on the window buried the question"
  xdotool windowminimize "$window"
  within 50 bash -c "xprop -id $window WM_STATE | grep -q 'window state: Iconic'" || fail "the window was not minimised"
  within 50 bash -c "! xwininfo -id $question | grep -q IsViewable" || fail "the question stayed on the screen without its window"
  "$app" --slow-preview >>"$home/second.log" 2>&1 || fail "the other launch exited with $?"
  within 50 question_on_top || fail "another launch did not bring the question forward"
  xdotool key Escape
  within 50 bash -c "$(declare -f shown_windows_of_type); [ -z \"\$(shown_windows_of_type DIALOG)\" ]" ||
    fail "Escape did not cancel the question"
  within 50 panel_focused || fail "the window did not get the keyboard back from the question"
  ;;
dark-windows)
  # With the desktop dark, the tray menu, the reset question and the update check's notice
  # open dark over the dark panel, as a person sees them on the screen.
  need_python
  export VANTORA_COLOR_SCHEME=dark
  start_wm
  start_tray_bar top right
  start_app --slow-preview
  within 100 icon_embedded || fail "the tray icon was not embedded"
  sleep 3
  # Fails unless window $1 looks dark on the whole; $2 names it.
  looks_dark() {
    local luminance
    [ -n "$1" ] || fail "$2 is not shown"
    luminance=$(python3 "$xwindows" luminance "$1") || fail "$2 could not be read"
    awk -v l="$luminance" 'BEGIN { exit !(l < 0.35) }' || fail "$2 is light (mean luminance $luminance)"
  }
  no_dialog() { [ -z "$(shown_windows_of_type DIALOG)" ]; }
  xdotool mousemove --window "$(icon_window)" 11 11 mousedown 3 mouseup 3
  sleep 0.5
  looks_dark "$(shown_popup | head -n1)" "the tray menu"
  # Show, About, Check for updates.
  xdotool key Down Down Down Return
  within 50 bash -c "$(declare -f shown_windows_of_type); [ -n \"\$(shown_windows_of_type DIALOG)\" ]" ||
    fail "the update check told nothing"
  sleep 0.5
  looks_dark "$(shown_windows_of_type DIALOG | head -n1)" "the update check's notice"
  xdotool key Escape
  within 50 bash -c "$(declare -f shown_windows_of_type no_dialog); no_dialog" || fail "Escape did not close the notice"
  sleep 0.5
  reset_from_tray_menu
  confirmation_on_panel
  looks_dark "$(shown_windows_of_type DIALOG | head -n1)" "the reset question"
  ;;
shell-quit-windows)
  # The shell's Quit is named on the application's own windows, not on its menus, and quits it.
  command -v gdbus >/dev/null 2>&1 || { echo "app-under-x11: gdbus is not installed" >&2; exit 77; }
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  xdotool mousemove --window "$(icon_window)" 11 11 mousedown 3 mouseup 3
  within 50 bash -c "$(declare -f shown_popup); [ -n \"\$(shown_popup)\" ]" || fail "the tray menu did not open"
  menu=$(shown_popup | head -n1)
  xprop -id "$menu" _GTK_APPLICATION_OBJECT_PATH | grep -q 'not found' || fail "the tray menu names the shell's Quit"
  # Show, About.
  xdotool key Down Down Return
  within 50 xdotool search --onlyvisible --name '^About vantora$' >/dev/null || fail "About did not open"
  about=$(xdotool search --onlyvisible --name '^About vantora$' | head -n1)
  xprop -id "$about" _GTK_APPLICATION_OBJECT_PATH | grep -q '= "/org/vantora/Vantora"$' ||
    fail "the About window does not name the shell's Quit: $(xprop -id "$about" _GTK_APPLICATION_OBJECT_PATH)"
  owner=$(xprop -id "$about" _GTK_UNIQUE_BUS_NAME | sed -n 's/.* = "\(.*\)"$/\1/p')
  [ -n "$owner" ] || fail "the About window names no bus name"
  # As the shell activates it.
  gdbus call --session --dest "$owner" --object-path /org/vantora/Vantora \
    --method org.gtk.Actions.Activate quit '[]' '{}' >/dev/null || fail "the shell's Quit could not be activated"
  within 100 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the shell's Quit did not end the application"
  ;;
no-tray-welcome-closed)
  # Without a tray, a person closes the application's one window (the welcome window of a
  # first start, the lights panel of a later one): nothing else would show that it runs, so
  # it ends. Started again, it shows one window.
  start_wm
  for flags in "" --demo; do
    start_app $flags
    within 100 panel_visible || fail "the start ($flags) showed no window"
    close_panel_by_keys
    within 100 bash -c "! kill -0 $app_pid 2>/dev/null" ||
      fail "with its window closed and no tray the application ($flags) went on"
    wait "$app_pid"
    status=$?
    [ "$status" -eq 0 ] || fail "closing the last window ($flags) ended the application with $status"
  done
  start_app
  within 100 panel_visible || fail "the next start showed no window"
  sleep 1
  [ "$(xdotool search --onlyvisible --classname '^vantora$' | wc -l)" -eq 1 ] ||
    fail "the next start showed $(xdotool search --onlyvisible --classname '^vantora$' | wc -l) windows"
  # Beside a tray, the closed window leaves the application in the tray.
  start_tray
  within 100 icon_embedded || fail "the tray icon was not embedded"
  close_panel_by_keys
  within 50 panel_hidden || fail "the welcome window did not close"
  sleep 1
  kill -0 "$app_pid" 2>/dev/null || fail "closing the window beside a tray ended the application"
  click_icon
  within 50 panel_visible || fail "a click on the icon did not open the panel"
  ;;
opened-program-environment)
  # In a Wayland session with an X display the application runs on X11 by its own choice; what
  # it opens for the person (here the link in About, through xdg-open) starts with the
  # person's environment, not with the application's choices for itself.
  unset QT_QPA_PLATFORM QT_XCB_NO_MITSHM
  export WAYLAND_DISPLAY=vantora-test-no-compositor VANTORA_PERSONS_OWN=kept
  mkdir -p "$home/bin"
  printf '#!/bin/sh\nenv >"%s/opened.env.part" && mv "%s/opened.env.part" "%s/opened.env"\n' \
    "$home" "$home" "$home" >"$home/bin/xdg-open"
  chmod +x "$home/bin/xdg-open"
  export PATH="$home/bin:$PATH"
  start_tray
  start_app --demo
  within 100 icon_embedded || fail "the tray icon was not embedded"
  xdotool mousemove --window "$(icon_window)" 11 11 mousedown 3 mouseup 3
  sleep 0.5
  # Show, About.
  xdotool key Down Down Return
  within 50 xdotool search --onlyvisible --name '^About vantora$' >/dev/null || fail "About did not open"
  about=$(xdotool search --onlyvisible --name '^About vantora$' | head -n1)
  # The last row of links, the social one, which the tested build names and no other does.
  xdotool mousemove --window "$about" 150 233 click 1
  within 50 test -s "$home/opened.env" || fail "the link opened nothing"
  grep -q '^VANTORA_PERSONS_OWN=kept$' "$home/opened.env" || fail "the opened program lost the person's environment"
  grep '^QT_QPA_PLATFORM=\|^QT_XCB_NO_MITSHM=' "$home/opened.env" &&
    fail "the opened program got the application's own platform choices"
  ;;
no-keyring | keyring-started-later | keyring-installed-later)
  # The first start on a desktop whose bus offers no keyring service (a sway or i3 session
  # without one): the window's notice tells it over several lines, where "Something went
  # wrong." takes one (what it says is the settings tests' to check), and the terminal in one.
  command -v import >/dev/null 2>&1 || { echo "SKIP: app-under-x11: ImageMagick is not installed" >&2; exit 77; }
  case "$scenario" in
  keyring-*)
    command -v gnome-keyring-daemon >/dev/null 2>&1 ||
      { echo "SKIP: app-under-x11: gnome-keyring is not installed" >&2; exit 77; }
    mkdir -p "$home/data/keyrings"
    # The keyring as a person's session starts it: unlocked by the login password, which
    # creates the login keyring on the first start.
    printf '#!/bin/sh\nprintf vantora-test-password | exec gnome-keyring-daemon --foreground --unlock --components=secrets\n' \
      >"$home/keyring"
    chmod +x "$home/keyring"
    ;;
  esac
  [ "$scenario" = keyring-started-later ] && start_fake_bridge
  start_wm
  start_app
  within 100 panel_visible || fail "the first start showed no window"
  window=$(panel_window)
  within 50 bash -c "$(declare -f notice_height); window=$window home=$home; [ \"\$(notice_height)\" -gt 70 ]" ||
    fail "the notice is $(notice_height) pixels tall, the height of one line: the missing keyring is not told"
  echo "$scenario: the notice is $(notice_height) pixels tall"
  [ "$(grep -c 'no keyring service answers' "$home/app.log")" -eq 1 ] ||
    fail "the terminal did not say once that no keyring answers: $(cat "$home/app.log")"
  case "$scenario" in
  keyring-started-later)
    # Paired meanwhile, with nowhere to save the key: the window says it is kept until a quit.
    pair_at_this_machine
    within 300 bash -c "$(declare -f pairing_requests); home=$home; [ \"\$(pairing_requests)\" -ge 3 ]" ||
      fail "the bridge was not asked to pair: $(cat "$home/requests.log")"
    within 100 grep -q 'loses it if it quits' "$home/app.log" || fail "the window did not say that a quit loses the key"
    # Started by the person while the app runs: the bus tells the app, which needs no restart,
    # saves the key the bridge gave and shows the lights.
    "$home/keyring" >"$home/keyring.log" 2>&1 &
    pids+=($!)
    within 100 requested 'GET /clip/v2/resource key=journey-application-key' ||
      fail "the lights were not loaded with the kept key: $(cat "$home/requests.log")"
    saved_key | grep -q journey-application-key || fail "the kept key is not in the keyring"
    [ "$(pairing_requests)" -eq 3 ] || fail "the bridge was asked to pair $(pairing_requests) times instead of 3"
    ;;
  keyring-installed-later)
    # Installed while the app runs, which starts nothing: the person opens vantora again, and
    # the running copy, asked to show itself, reaches the keyring (the bus starts it now).
    printf '[D-BUS Service]\nName=org.freedesktop.secrets\nExec=%s\n' "$home/keyring" \
      >"$home/services/org.freedesktop.secrets.service"
    # The bus reads its service folder again when it changes; asking it makes sure it has.
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.ReloadConfig >/dev/null || fail "the bus did not read its services again"
    "$app" >"$home/second.log" 2>&1 || fail "the second launch exited with $?"
    ;;
  esac
  [ "$scenario" = no-keyring ] && { echo "passed: $scenario"; exit 0; }
  within 100 grep -q 'the keyring answers now' "$home/app.log" || fail "the keyring was not reached: $(cat "$home/app.log")"
  within 50 bash -c "$(declare -f notice_height); window=$window home=$home; [ \"\$(notice_height)\" -eq 0 ]" ||
    fail "the notice stayed ($(notice_height) pixels) once the keyring answered"
  within 50 xdotool search --onlyvisible --name '^vantora$' >/dev/null || fail "the window went with the notice"
  ;;
keyring-locked)
  # The login keyring is locked, as when the session did not unlock it, and holds the saved
  # connection; the desktop's prompter asks for its password on the screen. The person cancels
  # it at the start, is told so in the keyring's words, and tries again by starting vantora
  # again: the running copy reads the keyring again, and goes on drawing while the prompt waits.
  need_python
  for tool in gnome-keyring-daemon secret-tool import /usr/libexec/gcr-prompter; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: app-under-x11: $tool is not installed" >&2; exit 77; }
  done
  printf '[D-BUS Service]\nName=org.gnome.keyring.SystemPrompter\nExec=/usr/libexec/gcr-prompter\n' \
    >"$home/services/org.gnome.keyring.SystemPrompter.service"
  mkdir -p "$home/data/keyrings"
  password=vantora-test-password
  printf '%s' "$password" | gnome-keyring-daemon --foreground --unlock --components=secrets >"$home/keyring.log" 2>&1 &
  keyring_pid=$!
  pids+=($keyring_pid)
  # A Bridge on this machine, where nothing answers: the test reaches no network.
  saved='{"address":{"host":"127.0.0.1"},"bridgeID":"001788fffe123456","name":"Hue Bridge","applicationKey":"k"}'
  within 100 bash -c "printf '%s' '$saved' | secret-tool store --label=vantora service org.vantora.Vantora \
    account bridge-connection 2>/dev/null" || fail "the keyring did not take the saved connection"
  printf theirs | secret-tool store --label=theirs service another-program account theirs ||
    fail "the keyring did not take another program's item"
  dbus-send --session --print-reply --dest=org.freedesktop.secrets /org/freedesktop/secrets \
    org.freedesktop.Secret.Service.Lock array:objpath:/org/freedesktop/secrets/collection/login >/dev/null ||
    fail "the keyring could not be locked"
  prompt() { xdotool search --onlyvisible --name '^Unlock Login Keyring$' 2>/dev/null | head -n1; }
  # The keys $@ typed into the prompt, once it has the keyboard.
  answer_prompt() {
    local shown
    shown=$(prompt)
    xdotool windowactivate --sync "$shown"
    within 30 bash -c "[ \"\$(xdotool getwindowfocus)\" = $shown ]" || fail "the prompt did not get the keyboard"
    xdotool "$@"
  }
  start_fake_bridge
  start_wm
  start_app
  # Without a tray, the window is up while the read at the start waits for the prompt, and
  # answers.
  within 200 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "the keyring did not ask to be unlocked"
  within 100 panel_visible || fail "no window while the prompt waits"
  window=$(panel_window)
  python3 "$xwindows" ping "$window" 5 || fail "the window does not answer while the prompt at the start waits"
  answer_prompt key Escape
  # Three lines, where "Something went wrong." takes one, of some 40 pixels.
  within 50 bash -c "$(declare -f notice_height); window=$window home=$home; [ \"\$(notice_height)\" -gt 50 ]" ||
    fail "the notice is $(notice_height) pixels tall, the height of one line: the keyring's words are not there"
  [ "$(grep -c 'vantora couldn’t access its saved connection in your keyring. Unlock your login keyring and try again.' \
    "$home/app.log")" -eq 1 ] || fail "the terminal did not say once what the keyring needs: $(cat "$home/app.log")"
  "$app" >"$home/second.log" 2>&1 || fail "the second launch exited with $?"
  within 100 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "the second launch did not ask the keyring again"
  python3 "$xwindows" ping "$window" 5 || fail "the window stopped answering while the prompt waits"
  # Hidden and shown again while the prompt waits, the window is drawn anew, notice and all.
  xdotool windowminimize --sync "$window"
  xdotool windowmap --sync "$window"
  within 50 bash -c "$(declare -f notice_height); window=$window home=$home; [ \"\$(notice_height)\" -gt 50 ]" ||
    fail "the window was not drawn again while the prompt waits ($(notice_height) pixels of notice)"
  answer_prompt key Escape
  # Cancelled again, the window's Pair Bridge asks first whether to unlock the keyring, its
  # default, or to pair anew over the saved connection.
  within 100 bash -c "$(declare -f prompt); [ -z \"\$(prompt)\" ]" || fail "the prompt did not go"
  press_pill
  within 50 dialog_shown || fail "Pair Bridge over a locked saved connection asked nothing"
  xdotool key Return
  within 100 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "Unlock Keyring did not ask the keyring"
  answer_prompt type "$password"
  xdotool key Return
  within 100 requested 'GET /clip/v2/resource key=k ' || fail "the lights were not loaded with the saved key"
  within 50 bash -c "$(declare -f notice_height); window=$window home=$home; [ \"\$(notice_height)\" -eq 0 ]" ||
    fail "the notice stayed ($(notice_height) pixels) once the keyring was read"
  # A tray, for the Reset command of its menu: with the icon up, the window stays.
  start_tray
  within 100 icon_embedded || fail "the tray icon was not embedded"
  lock_keyring() {
    dbus-send --session --print-reply --dest=org.freedesktop.secrets /org/freedesktop/secrets \
      org.freedesktop.Secret.Service.Lock array:objpath:/org/freedesktop/secrets/collection/login >/dev/null ||
      fail "the keyring could not be locked"
  }
  # A Reset the locked keyring refuses is told in the window, whose Try Again resets.
  lock_keyring
  reset_from_tray_menu
  within 50 dialog_shown || fail "Reset connection asked nothing"
  press_button_before_cancel
  within 100 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "the Reset did not ask the keyring"
  answer_prompt key Escape
  within 100 dialog_shown || fail "the refused Reset was not told in the window"
  press_button_before_cancel
  within 100 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "Try Again did not ask the keyring"
  answer_prompt type "$password"
  xdotool key Return
  within 100 bash -c "$(declare -f saved_key); [ -z \"\$(saved_key)\" ]" || fail "Try Again did not reset"
  # Paired with the keyring locked again: the window goes on answering while the prompt waits;
  # cancelled, the key is kept, and Try again saves it without pairing again.
  lock_keyring
  pair_at_this_machine
  within 300 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "pairing did not ask the keyring"
  [ "$(pairing_requests)" -eq 3 ] || fail "the bridge was asked to pair $(pairing_requests) times instead of 3"
  python3 "$xwindows" ping "$window" 5 || fail "the window stopped answering while the prompt waits at pairing"
  answer_prompt key Escape
  within 100 grep -q 'loses it if it quits' "$home/app.log" || fail "the window did not say that a quit loses the key"
  press_try_again
  within 100 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "Try again did not ask the keyring"
  answer_prompt key Escape
  # Cancelled once more, the key stays with the app; unlocked by another program, the keyring
  # takes it, and the lights come.
  within 100 bash -c "$(declare -f prompt); [ -z \"\$(prompt)\" ]" || fail "the prompt did not go"
  secret-tool lookup service another-program account theirs >/dev/null 2>&1 &
  within 100 bash -c "$(declare -f prompt); [ -n \"\$(prompt)\" ]" || fail "the other program did not ask the keyring"
  answer_prompt type "$password"
  xdotool key Return
  within 100 requested 'GET /clip/v2/resource key=journey-application-key' ||
    fail "the lights were not loaded with the kept key: $(cat "$home/requests.log")"
  saved_key | grep -q journey-application-key || fail "the kept key is not in the keyring"
  [ "$(pairing_requests)" -eq 3 ] || fail "the bridge was asked to pair $(pairing_requests) times instead of 3"
  # With the keyring's daemon gone, a Reset is refused in the window too, and Cancel keeps all.
  kill "$keyring_pid"
  wait "$keyring_pid" 2>/dev/null
  reset_from_tray_menu
  within 50 dialog_shown || fail "Reset connection asked nothing"
  press_button_before_cancel
  within 100 grep -q 'no keyring service answers' "$home/app.log" || fail "the Reset did not find the keyring gone"
  within 50 dialog_shown || fail "the Reset refused by a gone keyring was not told in the window"
  ;;
run-command)
  # The run command as a person types it ($app is scripts/run): it builds the Release app for
  # minutes on a fresh machine, then starts it; it passes once the icon shows.
  start_tray
  start_app --demo
  waited=0
  until icon_embedded; do
    kill -0 "$app_pid" 2>/dev/null || { tail -n 40 "$home/app.log" >&2; fail "the run command ended without a tray icon"; }
    grep -q '^run: starting' "$home/app.log" && waited=$((waited + 1))
    [ "$waited" -le 120 ] || { tail -n 40 "$home/app.log" >&2; fail "no tray icon within a minute of the start"; }
    sleep 0.5
  done
  ;;
*)
  echo "app-under-x11: unknown scenario $scenario" >&2
  exit 2
  ;;
esac
echo "passed: $scenario"
