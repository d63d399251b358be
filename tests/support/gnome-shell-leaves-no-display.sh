#!/usr/bin/env bash
# A session of run-in-gnome-shell.sh, once ended, leaves none of its X displays behind: neither
# the lock files of the displays its shell took nor their sockets. Exits 77 where the harness
# skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list=$(mktemp)
trap 'rm -f "$list"' EXIT

# Inside the session: the locks held by an X server of the session (the shell).
bash "$here/run-in-gnome-shell.sh" --without-tray bash -c '
  for lock in /tmp/.X*-lock; do
    pid=$(tr -d " " <"$lock" 2>/dev/null)
    if grep -qzx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" "/proc/$pid/environ" 2>/dev/null; then echo "$lock $pid"; fi
  done >"$1"' session "$list"
status=$?
[ "$status" -eq 0 ] || exit "$status"
[ -s "$list" ] || { echo "FAILED: the session's shell held no X display" >&2; exit 1; }
left=0
while read -r lock pid; do
  display=${lock#/tmp/.X}
  display=${display%-lock}
  for file in "$lock" "/tmp/.X11-unix/X$display"; do
    [ -e "$file" ] || continue
    # Another test's X server may take the display number once it is free; it locks it before
    # it makes the socket, so a display locked by another process, read after the file was
    # found, is no longer the session's.
    holder=$(tr -d ' ' 2>/dev/null <"$lock")
    [ -z "$holder" ] || [ "$holder" = "$pid" ] || continue
    echo "FAILED: the session left $file behind" >&2
    left=1
  done
done <"$list"
[ "$left" -eq 0 ] && echo "passed: the session's displays ($(cut -d' ' -f1 "$list" | tr '\n' ' ')) are gone"
exit "$left"
