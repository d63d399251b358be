#!/usr/bin/env bash
# Runs the test binary ($1, with any further arguments) against an unlocked keyring of its
# own: a private D-Bus session with gnome-keyring, in private folders, started the way the
# keyring service's own tests start it. The user's session bus and keyrings are never
# touched. Exits 77 (skipped) when the tools are missing.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../support/stoppable.sh"

keyring_session=$(dirname "$0")/../platform/secrets/run-with-keyring.sh

for tool in dbus-run-session dbus-send gnome-keyring-daemon secret-tool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

home=$(mktemp -d "${TMPDIR:-/tmp}/vantora-keyring.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/data/keyrings" "$home/config" "$home/cache" "$home/runtime"
chmod 700 "$home/runtime"
# An unlock prompt must never reach a real screen.
unset DISPLAY WAYLAND_DISPLAY
run_stoppable env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
    dbus-run-session -- bash "$keyring_session" --inside-keyring-session "$@"
