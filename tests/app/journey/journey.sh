#!/usr/bin/env bash
# One journey of the real application, from the first launch to the lights:
#   journey.sh <vantora> <fake_bridge_server> <test roots> <resources reply>
#
# Everything happens inside a network namespace made for this run (multicast DNS must never
# reach a real interface): a system bus and avahi-daemon of its own, the fake bridge
# published by avahi-publish and listening there with a certificate of the test roots, an X
# server with trayer, and a private session bus with an unlocked gnome-keyring. The
# application searches, finds the bridge, pairs once the link button "is pressed" (the
# bridge refuses twice), saves the connection in the keyring and lists the lights; a click on
# a light's switch reaches the bridge as one PUT; launched again, it shows no welcome and
# loads the lights with the saved key.
# Exits 77 (skipped) when this machine cannot make a namespace or lacks a tool.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../support/stoppable.sh"

here=$(cd "$(dirname "$0")" && pwd)
support=$(cd "$here/../../support" && pwd)
keyring_session=$(cd "$here/../../platform/secrets" && pwd)/run-with-keyring.sh

if [ "${1:-}" = --inside ]; then
  shift
  app=$1 server=$2 roots=$3 resources=$4 work=$5
  fail() {
    echo "FAILED (journey): $*" >&2
    for file in "$work"/*.log; do [ -f "$file" ] && { echo "--- $(basename "$file")" >&2; tail -n 40 "$file" >&2; }; done
    exit 1
  }
  within() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
    return 1
  }
  pids=()
  trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done' EXIT

  "$server" "$work/port" "$work/requests.log" "$resources" >"$work/bridge.log" 2>&1 &
  pids+=($!)
  within 100 test -s "$work/port" || fail "the fake bridge did not listen"
  export VANTORA_TEST_BRIDGE_PORT=$(cat "$work/port") VANTORA_TEST_BRIDGE_ROOTS=$roots
  export QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 VANTORA_COLOR_SCHEME=light

  trayer --edge top --align right --widthtype request --height 24 --SetDockType false >/dev/null 2>&1 &
  pids+=($!)

  visible_windows() { xdotool search --onlyvisible --name '^vantora$' 2>/dev/null; }
  requested() { grep -q "$1" "$work/requests.log" 2>/dev/null; }
  count() { grep -c "$1" "$work/requests.log" 2>/dev/null || true; }
  saved_connection() { secret-tool lookup service org.vantora.Vantora account bridge-connection 2>/dev/null; }

  "$app" >>"$work/app.log" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
  within 150 visible_windows >/dev/null || fail "no welcome window on the first launch"
  welcome=$(visible_windows | head -n1)
  eval "$(xdotool getwindowgeometry --shell "$welcome")"
  # The welcome screen's pill, centred under the instruction.
  xdotool mousemove --window "$welcome" $((WIDTH / 2)) 336 click 1
  within 300 requested 'GET /api/config' || fail "the search did not reach the published bridge"
  within 100 bash -c "[ \$(grep -c 'POST /api ' '$work/requests.log') -ge 3 ]" || fail "pairing did not ask three times"
  within 100 requested 'GET /clip/v2/resource key=journey-application-key' || fail "the lights were not loaded with the new key"
  saved_connection | grep -q journey-application-key || fail "the connection is not in the keyring"

  # The welcome window now lists the lights: Kitchen first, "lamp 2" (unreachable), then
  # "Strip", which is on. Its switch sits at the row's right end.
  strip='PUT /clip/v2/resource/light/11111111-0000-4000-8000-000000000004'
  within 30 bash -c "xwininfo -id $welcome | grep -q 'Height: 542'" || fail "the welcome window did not grow to the lights"
  sleep 1
  xdotool mousemove --window "$welcome" 375 236 click 1
  within 50 requested "$strip" || fail "a click on the light's switch did not reach the bridge"
  sleep 1
  [ "$(count "$strip")" -eq 1 ] || fail "the switch sent $(count "$strip") requests instead of one"
  grep "$strip" "$work/requests.log" | grep -q 'key=journey-application-key {"on":{"on":false}}$' ||
    fail "the switch sent $(grep "$strip" "$work/requests.log")"

  kill -TERM "$app_pid"
  within 100 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the application did not quit"
  wait "$app_pid" 2>/dev/null
  loads=$(count 'GET /clip/v2/resource key=journey-application-key')

  "$app" >>"$work/app.log" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
  sleep 3
  [ -z "$(visible_windows)" ] || fail "the welcome window opened although a connection is saved"
  icon=$(xwininfo -root -tree | grep -A4 '"panel": ("panel" "trayer")' | grep '"vantora": ("vantora"' | awk '{print $1}' | head -n1)
  [ -n "$icon" ] || fail "no tray icon on the second launch"
  xdotool mousemove --window "$icon" 11 11 click 1
  within 50 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '^vantora$')\" ]" || fail "the panel did not open"
  within 100 bash -c "[ \$(grep -c 'GET /clip/v2/resource key=journey-application-key' '$work/requests.log') -gt $loads ]" ||
    fail "the panel did not load the lights from the saved connection"
  grep -q 'POST /api ' <(tail -n +$((loads + 4)) "$work/requests.log") && fail "the second launch paired again"
  echo "passed: journey"
  exit 0
fi

app=$1 server=$2 roots=$3 resources=$4
source "$support/avahi-namespace.sh"
for tool in ip timeout dbus-daemon dbus-send dbus-run-session avahi-daemon avahi-publish gnome-keyring-daemon \
            secret-tool Xvfb trayer xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantora-journey.$$.XXXXXX")
chmod 755 "$work"
cleanup() {
  local status=$?
  avahi_namespace_stop
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

avahi_namespace_start vtjourney "$work" || exit $?
in_namespace avahi-publish -s "Test Bridge" _hue._tcp 443 bridgeid=001788fffe123456 >"$work/publish.log" 2>&1 &

# A keyring session of its own (its own HOME and folders), with an X server inside.
home="$work/home"
mkdir -p "$home/data/keyrings" "$home/config" "$home/cache" "$home/runtime"
chmod 700 "$home/runtime"
timeout --kill-after=5 200 ip netns exec "$namespace" \
  env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
      XDG_RUNTIME_DIR="$home/runtime" \
  dbus-run-session -- bash "$keyring_session" --inside-keyring-session \
  bash "$support/run-under-xvfb.sh" bash "$0" --inside "$app" "$server" "$roots" "$resources" "$work"
