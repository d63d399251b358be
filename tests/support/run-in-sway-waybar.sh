#!/usr/bin/env bash
# Runs "$@" inside a headless sway session of its own with waybar and its tray as the bar, as
# a sway desktop has them. sway refuses to run as root: for root, it and waybar run as the
# unprivileged user nobody; for anyone else, as the caller. The caller's "$@" runs as the caller. Private: HOME, the runtime folder and the
# session bus (open to both users). "$@" gets DISPLAY (sway's XWayland), WAYLAND_DISPLAY,
# SWAY_RUNTIME_DIR (the compositor's runtime folder, for grim and wayland-pointer.py),
# SCREEN_WIDTH, SCREEN_HEIGHT, BAR_HEIGHT (waybar along the top), SWAY_LOG (what sway and
# waybar say) and the bus's address.
# Ends only what it started. Exits 77 (skipped) when sway, waybar or XWayland is missing, or
# the session does not come up.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/stoppable.sh"

here=$(cd "$(dirname "$0")" && pwd)
export SCREEN_WIDTH=1280 SCREEN_HEIGHT=800 BAR_HEIGHT=30
skip() {
  echo "SKIP: run-in-sway-waybar: $*" >&2
  exit 77
}
for tool in sway waybar Xwayland setpriv xhost dbus-daemon grim python3; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
as_session_user=()
if [ "$(id -u)" -eq 0 ]; then
  user=nobody
  id "$user" >/dev/null 2>&1 || skip "there is no user $user to run sway as"
  as_session_user=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups)
fi

work=$(mktemp -d)
chmod 755 "$work"
sway_pid=
bus_pid=
. "$here/end-bus-clients.sh"
cleanup() {
  # waybar and whatever else the bus knows of, then sway with its XWayland, then the bus.
  [ -n "$bus_pid" ] && end_bus_clients
  if [ -n "$sway_pid" ]; then
    kill -TERM -- "-$sway_pid" 2>/dev/null
    for _ in $(seq 30); do
      kill -0 -- "-$sway_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$sway_pid" 2>/dev/null
  fi
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home/.config/waybar" "$work/runtime"
export SWAY_RUNTIME_DIR="$work/runtime" SWAY_LOG="$work/sway.log"
# The bar as waybar's own style draws it (dark), with the tray at its right.
cat >"$work/home/.config/waybar/config" <<CONF
{"layer": "top", "position": "top", "height": $BAR_HEIGHT, "modules-left": ["sway/workspaces"],
 "modules-right": ["tray"], "tray": {"icon-size": 21, "spacing": 10}}
CONF
cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution ${SCREEN_WIDTH}x$SCREEN_HEIGHT
xwayland force
exec sh -c 'echo "\$DISPLAY \$WAYLAND_DISPLAY" >$work/displays'
exec waybar -c $work/home/.config/waybar/config
CONF
[ ${#as_session_user[@]} -eq 0 ] || chown -R "$user" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/><allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
bus_pid=$(dbus-daemon --config-file="$work/bus.conf" --fork --print-pid=1) || skip "no session bus"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"

: >"$work/displays"
chmod 666 "$work/displays"
setsid "${as_session_user[@]}" \
  env -i PATH="$PATH" VANTORA_HARNESS_RUN="$VANTORA_HARNESS_RUN" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
  DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" NO_AT_BRIDGE=1 \
  WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 </dev/null &
sway_pid=$!

# Up once XWayland is there and waybar watches for tray items.
owned() {
  dbus-send --session --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}
for _ in $(seq 200); do
  kill -0 "$sway_pid" 2>/dev/null || { cat "$work/sway.log" >&2; skip "sway ended while starting"; }
  grep -q . "$work/displays" && owned org.kde.StatusNotifierWatcher && break
  sleep 0.1
done
owned org.kde.StatusNotifierWatcher || { cat "$work/sway.log" >&2; skip "waybar's tray did not come up"; }
read -r DISPLAY WAYLAND_DISPLAY <"$work/displays"
export DISPLAY WAYLAND_DISPLAY
# XWayland lets in only its own user: the caller's programs are let in as well.
if [ ${#as_session_user[@]} -ne 0 ]; then
  "${as_session_user[@]}" env DISPLAY="$DISPLAY" xhost "+si:localuser:$(id -un)" >/dev/null ||
    skip "XWayland does not let the caller in"
fi

run_stoppable "$@"
status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
  echo "run-in-sway-waybar: sway's and waybar's log:" >&2
  tail -n 30 "$work/sway.log" >&2
fi
exit "$status"
