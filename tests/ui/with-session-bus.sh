#!/usr/bin/env bash
# Runs the test binary given first (and its arguments) on a private D-Bus session bus that
# ends with it. Skipped (77) where D-Bus is not installed.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../support/stoppable.sh"
command -v dbus-run-session >/dev/null || { echo "SKIP: with-session-bus: dbus-run-session is not installed" >&2; exit 77; }
run_stoppable dbus-run-session -- "$@"
