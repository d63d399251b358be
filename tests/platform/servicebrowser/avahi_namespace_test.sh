#!/usr/bin/env bash
# Runs the Avahi browser's integration tests against a private avahi-daemon.
#
# Multicast DNS must never reach a real interface: the daemon runs inside a network namespace
# made for this run (avahi-namespace.sh).
#
# Usage: avahi_namespace_test.sh <test binary>. Exits 77 (skipped) when this machine cannot
# make a network namespace or lacks the tools.
set -euo pipefail

test_binary=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/vantora-avahi.$$.XXXXXX")

log() { printf 'avahi_namespace_test: %s\n' "$*" >&2; }

source "$(dirname "$0")/../../support/avahi-namespace.sh"

cleanup() {
    local status=$?
    avahi_namespace_stop
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

if missing=$(avahi_namespace_tools_missing); then
    echo "SKIP: $missing is not installed" >&2
    exit 77
fi
avahi_namespace_start vtavahi "$work" || exit $?
daemon_pid=$avahi_daemon_pid

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
