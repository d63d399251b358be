#!/usr/bin/env bash
# The measurements of bench/app/run, under the X server that run-under-xvfb.sh started:
#   measure.sh <vantora binary>
# The application runs with private runtime, config and data folders and a private session
# bus (on which no StatusNotifierItem host listens, so the icon goes to trayer by XEmbed).
# Every wait is bounded; a figure that cannot be taken ends the run with status 1.
set -uo pipefail

app=$1
here=$(cd "$(dirname "$0")" && pwd)
launches=9
demo_lights=300
wake_seconds=10

for tool in xdotool xwininfo trayer dbus-daemon python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "bench/app: $tool is not installed" >&2; exit 77; }
done

home=$(mktemp -d)
mkdir -p "$home/runtime" "$home/config" "$home/data"
chmod 700 "$home/runtime"
pids=()
app_pid=
cleanup() {
  for pid in $app_pid "${pids[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$home"
}
trap cleanup EXIT

fail() {
  echo "bench/app: $*" >&2
  exit 1
}

export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
export HOME="$home" VANTORA_COLOR_SCHEME=light
unset WAYLAND_DISPLAY XDG_SESSION_TYPE VANTORA_BENCH_DEMO_LIGHTS

# Waits up to $1 tenths of a second for "$2…" to succeed.
within() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "no session bus"
DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | head -n1)
export DBUS_SESSION_BUS_ADDRESS
pids+=("$(echo "$bus" | sed -n 2p)")

trayer --edge top --align right --widthtype request --height 24 --SetDockType false >/dev/null 2>&1 &
pids+=($!)
within 50 xdotool search --classname trayer >/dev/null || fail "trayer did not start"

# The icon's window once trayer (its "panel" window) holds it and it is mapped.
icon_window() {
  xwininfo -root -tree 2>/dev/null | grep -A4 '"panel": ("panel" "trayer")' | grep '"vantora": ("vantora"' |
    awk '{print $1}' | head -n1
}
icon_shown() {
  local window
  window=$(icon_window)
  [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'
}
click_icon() { xdotool mousemove --window "$(icon_window)" 11 11 click 1; }
panel_visible() { xdotool search --onlyvisible --name '^vantora$' >/dev/null 2>&1; }
panel_hidden() { ! panel_visible; }
open_panel() {
  click_icon
  within 100 panel_visible || fail "a click on the icon did not open the panel"
}
# Not at once after opening: a click right after the panel lost the focus counts as the
# click that closed it.
close_panel() {
  sleep 0.5
  click_icon
  within 50 panel_hidden || fail "a click on the icon did not close the panel"
}

now_us() { echo "${EPOCHREALTIME/./}"; }

# Starts the application with the given arguments.
start_app() {
  "$app" "$@" >>"$home/app.log" 2>&1 &
  app_pid=$!
}

icon_gone() { [ -z "$(icon_window)" ]; }

# Ends the application and waits until the X server has dropped its icon, so that the next
# launch is not mistaken for this one.
stop_app() {
  kill "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=
  within 50 icon_gone || fail "the icon of an ended launch stayed in the tray"
}

# Sets shown_ms to the milliseconds from starting the application to its icon showing in
# the tray. Polls without pausing (each look takes a few milliseconds) for at most 10 s.
time_tray_show() {
  local start deadline
  start=$(now_us)
  start_app "$@"
  deadline=$((start + 10000000))
  until icon_shown; do
    [ "$(now_us)" -lt "$deadline" ] || fail "the tray icon did not show"
  done
  shown_ms=$((($(now_us) - start) / 1000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Context switches of every thread of the application, "tid count" a line: by default the
# voluntary ones, each a thread going to wait and so woken again later; with "non" the
# involuntary ones, a running thread preempted by others (they grow with the machine's load,
# not with what the application asks for).
switches_by_thread() {
  local status
  for status in /proc/"$app_pid"/task/*/status; do
    awk -v tid="$(basename "$(dirname "$status")")" -v kind="^${1:-}voluntary_ctxt_switches" \
      '$0 ~ kind { n += $2 } END { if (NR) print tid, n }' "$status" 2>/dev/null
  done
}

# Wake-ups in each second over $1 seconds, one count a word; preemptions instead with $2
# "non". A thread that starts meanwhile counts in full; one that ends takes its last
# second's switches along.
wake_ups() {
  local before after
  before=$(switches_by_thread "${2:-}")
  for _ in $(seq "$1"); do
    sleep 1
    after=$(switches_by_thread "${2:-}")
    awk 'NR == FNR { seen[$1] = $2; next } { n += $2 - seen[$1] } END { printf "%d ", n }' \
      <(echo "$before") <(echo "$after")
    before=$after
  done
}

# Prints the wake-ups over $wake_seconds seconds, labelled $1.
report_wake_ups() {
  local label=$1 counts
  counts=$(wake_ups "$wake_seconds")
  kill -0 "$app_pid" 2>/dev/null || fail "the application ended while its wake-ups were counted"
  echo "$counts" | awk -v label="$label" -v seconds="$wake_seconds" '{
    $1 = $1
    total = 0; for (i = 1; i <= NF; ++i) total += $i
    printf "wake-ups %s: %.1f/s (each second: %s; target: no periodic wake-up) %s\n", label, total / seconds, $0,
      total == 0 ? "ok" : "CHECK"
  }'
}

# Exec to the tray icon's first show, for a launch with the given arguments: one launch
# to warm the caches, then the median of the next ones.
report_tray_show() {
  local label=$1 times=() median_ms
  shift
  time_tray_show "$@"
  stop_app
  for _ in $(seq "$launches"); do
    time_tray_show "$@"
    times+=("$shown_ms")
    stop_app
  done
  median_ms=$(printf '%s\n' "${times[@]}" | median)
  echo "tray icon first shown after exec, $label: ${median_ms} ms" \
    "(median of $launches launches: ${times[*]}; target <= 300 ms) $([ "${median_ms%.*}" -le 300 ] && echo ok || echo OVER)"
}

report_tray_show "launch with no saved connection (the welcome window opens too)"
report_tray_show "demonstration (--demo)" --demo

# Wake-ups with the panel closed, on a launch that never opened it; the first seconds,
# when the application still looks for its tray item, are left out.
start_app --demo
within 100 icon_shown || fail "the tray icon did not show"
sleep 3
report_wake_ups "with the panel never opened"
stop_app

# Peak RSS with the panel open on a large demonstration home.
VANTORA_BENCH_DEMO_LIGHTS=$demo_lights start_app --demo
within 100 icon_shown || fail "the tray icon did not show"
sleep 1
closed_kb=$(awk '/^VmHWM/ { print $2 }' /proc/"$app_pid"/status)
open_panel
sleep 2
kill -0 "$app_pid" 2>/dev/null || fail "the application ended with its panel open"
hwm_kb=$(awk '/^VmHWM/ { print $2 }' /proc/"$app_pid"/status)
mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }
echo "peak RSS with the panel open on $demo_lights lights: $(mb "$hwm_kb") MB" \
  "(VmHWM; $(mb "$closed_kb") MB before the panel opened; target <= 45 MB)" \
  "$([ "$hwm_kb" -le $((45 * 1024)) ] && echo ok || echo OVER)"

# Wake-ups once the panel is closed again.
close_panel
sleep 3
report_wake_ups "after the panel was closed"
stop_app

# The shortcuts page loops its illustrations while the panel is the active window. A frame
# of theirs may cost two wake-ups at most, and nothing may run between their steps; none of
# it may go on once the panel is closed.
start_app --shortcut-preview
within 100 icon_shown || fail "the tray icon did not show"
open_panel
sleep 1
panel=$(xdotool search --onlyvisible --name '^vantora$' | head -n1)
python3 "$here/frames.py" "$panel" "$wake_seconds" >"$home/frames" 2>&1 &
frames_pid=$!
before=$(switches_by_thread non)
counts=$(wake_ups "$wake_seconds")
after=$(switches_by_thread non)
wait "$frames_pid" || fail "the frames could not be counted: $(cat "$home/frames")"
kill -0 "$app_pid" 2>/dev/null || fail "the application ended while its wake-ups were counted"
preempted=$(awk 'NR == FNR { seen[$1] = $2; next } { n += $2 - seen[$1] } END { print n + 0 }' \
  <(echo "$before") <(echo "$after"))
echo "$counts" | awk -v frames="$(cat "$home/frames")" -v preempted="$preempted" -v seconds="$wake_seconds" '{
  $1 = $1
  total = 0; for (i = 1; i <= NF; ++i) total += $i
  limit = 2 * frames / seconds
  printf "wake-ups with the panel open on its shortcuts page: %.1f/s (each second: %s; %.1f frames/s shown; " \
    "besides %.1f/s preemptions by other programs; target <= 2 per frame: %.1f/s) %s\n", total / seconds, $0,
    frames / seconds, preempted / seconds, limit, total / seconds <= limit ? "ok" : "OVER"
}'
close_panel
sleep 3
report_wake_ups "after the panel was closed on its shortcuts page"
stop_app
