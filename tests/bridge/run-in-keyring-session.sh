#!/usr/bin/env bash
# Runs the test binary ($1, with any further arguments) against an unlocked keyring of its
# own: a private D-Bus session with gnome-keyring, in private folders. The user's session
# bus and keyrings are never touched. Exits 77 (skipped) when the tools are missing.
set -uo pipefail

if [ "${1:-}" = --inside-keyring-session ]; then
    shift
    # A non-empty password creates and unlocks the login keyring without asking anyone.
    printf 'vantora-test-password' |
        gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null 2>"$HOME/gnome-keyring.log" &
    keyring=$!
    trap 'kill "$keyring" 2>/dev/null; wait "$keyring" 2>/dev/null' EXIT
    # Ask the bus (not the service) first, so that no second daemon gets activated.
    for _ in $(seq 100); do
        if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true' &&
            dbus-send --session --print-reply --dest=org.freedesktop.secrets /org/freedesktop/secrets \
                org.freedesktop.Secret.Service.ReadAlias string:default 2>/dev/null | grep -q 'collection/login'; then
            "$@"
            exit $?
        fi
        sleep 0.1
    done
    echo "gnome-keyring did not come up with an unlocked login keyring:" >&2
    cat "$HOME/gnome-keyring.log" >&2
    exit 1
fi

for tool in dbus-run-session dbus-send gnome-keyring-daemon secret-tool; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

home=$(mktemp -d "${TMPDIR:-/tmp}/vantora-keyring.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/data/keyrings" "$home/config" "$home/cache" "$home/runtime"
chmod 700 "$home/runtime"
# An unlock prompt must never reach a real screen.
unset DISPLAY WAYLAND_DISPLAY
env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
    dbus-run-session -- bash "$0" --inside-keyring-session "$@"
