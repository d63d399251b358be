# Sourced by the scenario scripts: waits up to $1 tenths of a second for "$2…" to succeed.
within() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
