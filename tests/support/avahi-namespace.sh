# Sourced by the test scripts that need a private avahi-daemon (bash, with set -e or not).
#
# Multicast DNS must never reach a real interface, so everything happens inside a network
# namespace made for the run: a veth pair whose two ends both stay in it (10.77.0.1 on va,
# 10.77.0.2 on vb), a system bus of our own for the daemon, and avahi-daemon limited to those
# two interfaces. The daemon also gets a private /run, so that its pid file and socket cannot
# meet another run's.
#
#   avahi_namespace_tools_missing   prints the first missing tool; false when none is
#   avahi_namespace_start <prefix> <work dir>
#                                   makes the namespace "<prefix><pid>" and starts the bus and
#                                   the daemon, logging to <work dir>/*.log; sets $namespace and
#                                   $avahi_daemon_pid and exports DBUS_SYSTEM_BUS_ADDRESS.
#                                   Returns 77 when the machine (or a caller who is not root)
#                                   cannot make a namespace, saying why on a "SKIP:" line; 1 when
#                                   a service does not come up within 10 s.
#   avahi_namespace_stop            ends every process of the namespace and deletes it; safe to
#                                   call when start failed or never ran.
#   in_namespace <command…>         runs a command inside the namespace.

namespace=
avahi_daemon_pid=

# Debian installs the daemons in /usr/sbin and /sbin, which are not on a normal user's PATH.
PATH=$PATH:/usr/sbin:/sbin

avahi_namespace_tools_missing() {
    local tool
    for tool in ip timeout dbus-daemon dbus-send avahi-daemon avahi-publish; do
        if ! command -v "$tool" >/dev/null; then
            echo "$tool"
            return 0
        fi
    done
    return 1
}

in_namespace() { ip netns exec "$namespace" "$@"; }

# Waits, at most 10 s, until the command succeeds; the process named by the pid must live.
avahi_namespace_wait_until() {
    local what=$1 pid=$2 attempt
    shift 2
    for attempt in $(seq 100); do
        "$@" && return 0
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "$what ended during start-up" >&2
            return 1
        fi
        sleep 0.1
    done
    echo "$what did not get ready within 10 s" >&2
    return 1
}

avahi_namespace_bus_answers() {
    dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId >/dev/null 2>&1
}

avahi_namespace_daemon_running() {
    dbus-send --system --print-reply --dest=org.freedesktop.Avahi / org.freedesktop.Avahi.Server.GetState 2>/dev/null \
        | grep -q 'int32 2'
}

avahi_namespace_start() {
    local prefix=$1 work=$2 reason
    if ! reason=$(ip netns add "$prefix$$" 2>&1); then
        if [[ $(id -u) -ne 0 ]]; then
            echo "SKIP: needs root, to make a network namespace for avahi-daemon ($reason)" >&2
        else
            echo "SKIP: cannot make a network namespace on this machine: $reason" >&2
        fi
        return 77
    fi
    namespace=$prefix$$

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

    export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/bus
    ip netns exec "$namespace" dbus-daemon --config-file="$work/bus.conf" --nofork --nopidfile >"$work/dbus-daemon.log" 2>&1 &
    avahi_namespace_wait_until dbus-daemon $! avahi_namespace_bus_answers || return 1

    # Started without in_namespace, so that $! is the daemon itself (ip execs it).
    # `ip netns exec` gives each command a mount namespace of its own whose mounts stay there.
    ip netns exec "$namespace" sh -c 'mount -t tmpfs vantora-avahi-run /run && exec avahi-daemon --no-drop-root --no-chroot --no-rlimits --no-proc-title -f "$1"' \
        sh "$work/avahi.conf" >"$work/avahi-daemon.log" 2>&1 &
    avahi_daemon_pid=$!
    avahi_namespace_wait_until avahi-daemon "$avahi_daemon_pid" avahi_namespace_daemon_running
}

# Asks every process of the namespace to end, and forces those still there after 2 s.
avahi_namespace_stop() {
    local pids attempt
    [[ -n $namespace ]] || return 0
    for attempt in $(seq 20); do
        pids=$(ip netns pids "$namespace" 2>/dev/null || true)
        [[ -z $pids ]] && break
        if (( attempt < 20 )); then
            kill -TERM $pids 2>/dev/null || true
        else
            kill -KILL $pids 2>/dev/null || true
        fi
        sleep 0.1
    done
    ip netns del "$namespace" 2>/dev/null || echo "could not delete namespace $namespace" >&2
    namespace=
}
