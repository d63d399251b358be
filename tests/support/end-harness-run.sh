#!/usr/bin/env bash
# end-harness-run.sh <harness pid> <run>: started by stoppable.sh outside the harness's process
# tree. Waits until the harness is gone, then ends every process still marked with its run
# (VANTORA_HARNESS_RUN in its environment), and unmounts the document portal's file system
# under their runtime folders, which a process killed outright leaves behind.
harness=$1 run=$2
while kill -0 "$harness" 2>/dev/null; do
  sleep 0.5
done

marked() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    grep -qzx "VANTORA_HARNESS_RUN=$run" "$environ" 2>/dev/null || continue
    pid=${environ#/proc/}
    echo "${pid%/environ}"
  done
}
pids=$(marked)
[ -n "$pids" ] || exit 0
runtimes=$(for pid in $pids; do
  grep -az '^XDG_RUNTIME_DIR=' "/proc/$pid/environ" 2>/dev/null | tr -d '\0' | cut -d= -f2-
done | sort -u)
# shellcheck disable=SC2086 # one word per process
kill -TERM $pids 2>/dev/null
for _ in $(seq 20); do
  pids=$(marked)
  [ -n "$pids" ] || break
  sleep 0.1
done
# shellcheck disable=SC2086
[ -z "$pids" ] || kill -KILL $pids 2>/dev/null
for runtime in $runtimes; do
  if grep -q " $runtime/doc fuse" /proc/mounts; then
    fusermount3 -u -z "$runtime/doc" 2>/dev/null || fusermount -u -z "$runtime/doc" 2>/dev/null
  fi
done
