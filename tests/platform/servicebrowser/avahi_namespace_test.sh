#!/usr/bin/env bash
# Runs the Avahi browser's integration tests against a private avahi-daemon.
#
# Multicast DNS must never reach a real interface, so everything happens inside a network
# namespace made for this run: a veth pair whose two ends both stay in it, a system bus of
# our own for the daemon, and avahi-daemon limited to those two interfaces. The daemon also
# gets a private /run, so that its pid file and socket cannot meet another run's.
#
# Usage: avahi_namespace_test.sh <test binary>. Exits 77 (skipped) when this machine cannot
# make a network namespace or lacks the tools.
set -euo pipefail

test_binary=$1
namespace=vtavahi$$
work=$(mktemp -d "${TMPDIR:-/tmp}/vantora-avahi.$$.XXXXXX")
namespace_made=no

log() { printf 'avahi_namespace_test: %s\n' "$*" >&2; }

# Asks every process of the namespace to end, and forces those still there after 2 s.
stop_namespace_processes() {
    local pids attempt
    for attempt in $(seq 20); do
        pids=$(ip netns pids "$namespace" 2>/dev/null || true)
        [[ -z $pids ]] && return 0
        if (( attempt < 20 )); then
            kill -TERM $pids 2>/dev/null || true
        else
            kill -KILL $pids 2>/dev/null || true
        fi
        sleep 0.1
    done
}

cleanup() {
    local status=$?
    if [[ $namespace_made == yes ]]; then
        stop_namespace_processes
        ip netns del "$namespace" 2>/dev/null || log "could not delete namespace $namespace"
    fi
    if (( status != 0 && status != 77 )); then
        for file in "$work"/*.log; do
            [[ -f $file ]] && { log "--- $(basename "$file")"; cat "$file" >&2; }
        done
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

for tool in ip timeout dbus-daemon dbus-send avahi-daemon avahi-publish; do
    if ! command -v "$tool" >/dev/null; then
        log "skipped: $tool is not installed"
        exit 77
    fi
done

if ! reason=$(ip netns add "$namespace" 2>&1); then
    log "skipped: cannot make a network namespace on this machine: $reason"
    exit 77
fi
namespace_made=yes

in_namespace() { ip netns exec "$namespace" "$@"; }

in_namespace ip link set lo up
in_namespace ip link add va type veth peer name vb
in_namespace ip addr add 10.77.0.1/24 dev va
in_namespace ip addr add 10.77.0.2/24 dev vb
in_namespace ip link set va up
in_namespace ip link set vb up

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF

cat >"$work/avahi.conf" <<CONF
[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=va,vb
enable-dbus=yes

[wide-area]
enable-wide-area=no

[reflector]
enable-reflector=no
CONF

# Waits, at most 10 s, until the command succeeds; the process named by the pid must live.
wait_until() {
    local what=$1 pid=$2 attempt
    shift 2
    for attempt in $(seq 100); do
        "$@" && return 0
        if ! kill -0 "$pid" 2>/dev/null; then
            log "$what ended during start-up"
            exit 1
        fi
        sleep 0.1
    done
    log "$what did not get ready within 10 s"
    exit 1
}

bus_answers() {
    dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId >/dev/null 2>&1
}

daemon_running() {
    dbus-send --system --print-reply --dest=org.freedesktop.Avahi / org.freedesktop.Avahi.Server.GetState 2>/dev/null \
        | grep -q 'int32 2'
}

export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/bus
ip netns exec "$namespace" dbus-daemon --config-file="$work/bus.conf" --nofork --nopidfile >"$work/dbus-daemon.log" 2>&1 &
wait_until dbus-daemon $! bus_answers

# Started without the in_namespace function, so that $! is the daemon itself (ip execs it).
# `ip netns exec` gives each command a mount namespace of its own whose mounts stay there.
ip netns exec "$namespace" sh -c 'mount -t tmpfs vantora-avahi-run /run && exec avahi-daemon --no-drop-root --no-chroot --no-rlimits --no-proc-title -f "$1"' \
    sh "$work/avahi.conf" >"$work/avahi-daemon.log" 2>&1 &
daemon_pid=$!
wait_until avahi-daemon "$daemon_pid" daemon_running

ip netns exec "$namespace" avahi-publish -s "Test Bridge" _hue._tcp 443 bridgeid=001788fffe123456 >"$work/publish-test-bridge.log" 2>&1 &
ip netns exec "$namespace" avahi-publish -s "<b>x</b> Room.2" _hue._tcp 8443 BridgeID=001788FFFE654321 >"$work/publish-markup.log" 2>&1 &
markup_publisher_pid=$!

run_tests() {
    local filter=$1
    shift
    log "running $filter ${*:+with $*}"
    # Bounded, so that a hung test still leaves this script to clean up.
    timeout --kill-after=5 120 ip netns exec "$namespace" env "$@" "$test_binary" --gtest_filter="$filter"
}

# Qt runs GLib's dispatcher unless told otherwise; the browser must work under both.
run_tests 'AvahiServiceBrowserInNamespace.*-*ThePublisherGoes:*TheDaemonGoes'
run_tests 'AvahiServiceBrowserInNamespace.FindsAndResolvesEveryAnnouncement' QT_NO_GLIB=1
# These end what they test: the markup service's publisher, then the daemon.
run_tests 'AvahiServiceBrowserInNamespace.ReportsTheRemovalWhenThePublisherGoes' \
    VANTORA_TEST_MARKUP_PUBLISHER_PID="$markup_publisher_pid"
run_tests 'AvahiServiceBrowserInNamespace.ReportsAFailureWhenTheDaemonGoes' \
    VANTORA_TEST_AVAHI_DAEMON_PID="$daemon_pid"
