#!/usr/bin/env bash
# Runs the keyring test binary ($1) against private Secret Services only: an unlocked
# keyring, a keyring nobody can unlock, and three buses on which no service answers.
# The user's own session bus and keyrings are never touched; each run has its own folders,
# so runs can go side by side.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../support/stoppable.sh"

if [ "${1:-}" = --inside-keyring-session ]; then
    shift
    # A non-empty password creates and unlocks the login keyring without asking anyone.
    printf 'vantora-test-password' |
        gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null 2>"$HOME/gnome-keyring.log" &
    keyring=$!
    trap 'kill "$keyring" 2>/dev/null; wait "$keyring" 2>/dev/null' EXIT
    # Ask the bus (not the service) first, so that no second daemon gets activated.
    ready=no
    for _ in $(seq 100); do
        if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true' &&
            dbus-send --session --print-reply --dest=org.freedesktop.secrets /org/freedesktop/secrets \
                org.freedesktop.Secret.Service.ReadAlias string:default 2>/dev/null | grep -q 'collection/login'; then
            ready=yes
            break
        fi
        sleep 0.1
    done
    if [ "$ready" = no ]; then
        echo "gnome-keyring did not come up with an unlocked login keyring:" >&2
        cat "$HOME/gnome-keyring.log" >&2
        exit 1
    fi
    "$@"
    exit $?
fi

binary=$1
for tool in dbus-run-session dbus-daemon dbus-send gnome-keyring-daemon secret-tool timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantora-keyring.XXXXXX")
cleanup() {
    [ -f "$work/stuck-service.pid" ] && kill "$(cat "$work/stuck-service.pid")" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# An unlock prompt must never reach a real screen; with nowhere to show it, it fails at once.
unset DISPLAY WAYLAND_DISPLAY

failed=0
phase() {
    echo "=== $1"
    shift
    "$@" || failed=1
}

with_fresh_keyring() {
    local home="$work/$1"
    shift
    mkdir -p "$home/data/keyrings" "$home/config" "$home/cache" "$home/runtime"
    chmod 700 "$home/runtime"
    run_stoppable env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
        XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
        dbus-run-session -- bash "$0" --inside-keyring-session "$@"
}

# A session bus of our own; $1 is an extra line for its configuration.
write_bus_config() {
    cat >"$2" <<CONFIG
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=$work</listen>
  <auth>EXTERNAL</auth>
  $1
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONFIG
}

# A Secret Service the bus starts on demand but that never takes its name.
mkdir -p "$work/stuck-services"
cat >"$work/stuck-service" <<STUCK
#!/bin/sh
echo \$\$ >"$work/stuck-service.pid"
exec sleep 120 </dev/null >/dev/null 2>&1
STUCK
chmod +x "$work/stuck-service"
printf '[D-BUS Service]\nName=org.freedesktop.secrets\nExec=%s\n' "$work/stuck-service" \
    >"$work/stuck-services/org.freedesktop.secrets.service"
write_bus_config "" "$work/bare-bus.conf"
write_bus_config "<servicedir>$work/stuck-services</servicedir>" "$work/stuck-bus.conf"

no_service=(--gtest_filter='WithoutSecretService.*')
phase "unlocked keyring" \
    with_fresh_keyring unlocked "$binary" --gtest_filter='Keyring/SecretStoreContract.*:LibsecretSecretStoreTest.*'
phase "locked keyring" with_fresh_keyring locked "$binary" --gtest_filter='LockedKeyring.*'
phase "no session bus" env DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus/socket" \
    timeout 15 "$binary" "${no_service[@]}"
phase "bus without a Secret Service" \
    run_stoppable dbus-run-session --config-file="$work/bare-bus.conf" -- timeout 15 "$binary" "${no_service[@]}"
# Three calls that each give up after 5 s; left to the bus, each would wait at least 25 s.
phase "Secret Service that never answers" \
    run_stoppable dbus-run-session --config-file="$work/stuck-bus.conf" -- timeout 40 "$binary" "${no_service[@]}"
# The test starts the keyring itself, on a bus that had none, in folders of its own.
later="$work/later"
mkdir -p "$later/data/keyrings" "$later/config" "$later/cache" "$later/runtime"
chmod 700 "$later/runtime"
phase "Secret Service that comes after the start" \
    run_stoppable env HOME="$later" XDG_DATA_HOME="$later/data" XDG_CONFIG_HOME="$later/config" \
    XDG_CACHE_HOME="$later/cache" XDG_RUNTIME_DIR="$later/runtime" \
    dbus-run-session --config-file="$work/bare-bus.conf" -- timeout 90 "$binary" --gtest_filter='SecretServiceComesLater.*'

exit "$failed"
