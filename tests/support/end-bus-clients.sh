# Sourced by test scripts that run a private session bus on which services start on demand
# (the desktop portal and what it starts): end_bus_clients ends every process connected to
# the bus of DBUS_SESSION_BUS_ADDRESS but the caller, by PID as the bus reports them, and
# waits up to two seconds for them to go. The document portal's file system under
# $XDG_RUNTIME_DIR/doc goes with its process.

# The PIDs of the bus's clients, the bus itself not counted.
bus_client_pids() {
  local name
  for name in $(dbus-send --session --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus \
                  org.freedesktop.DBus.ListNames 2>/dev/null | awk -F'"' '/string ":/ {print $2}'); do
    dbus-send --session --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus \
      org.freedesktop.DBus.GetConnectionUnixProcessID "string:$name" 2>/dev/null | awk '/uint32/ {print $2}'
  done | sort -u
}

end_bus_clients() {
  local pid pids=()
  for pid in $(bus_client_pids); do
    [ "$pid" != "$$" ] && kill "$pid" 2>/dev/null && pids+=("$pid")
  done
  for _ in $(seq 20); do
    local alive=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [ "$alive" = 0 ] && break
    sleep 0.1
  done
  if [ -n "${XDG_RUNTIME_DIR:-}" ] && grep -q " $XDG_RUNTIME_DIR/doc " /proc/mounts 2>/dev/null; then
    fusermount -u -z "$XDG_RUNTIME_DIR/doc" 2>/dev/null
  fi
}
