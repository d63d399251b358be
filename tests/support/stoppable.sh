# Sourced by every test harness (bash). A test is stopped by TERM, as ctest sends at its timeout
# (tests/CMakeLists.txt), or by INT: the harness then leaves through its EXIT trap, which ends
# what it started itself, after ending the command it runs through run_stoppable (the next
# harness or the test), whose process group gets the same signal. Forced after 5 s, so that the
# clean-up still runs within ctest's grace.
#
# Whatever ends the outermost harness, even a KILL that no trap sees (what ctest before 3.28
# sends at a timeout, to the processes it knows of), a watcher outside its process tree then ends
# what still runs of it: every process marked with the run in its environment (daemons that
# forked away, the services a bus started), and the document portal's file system.
if [ -z "${VANTORA_HARNESS_RUN:-}" ]; then
  export VANTORA_HARNESS_RUN="$$.$(date +%s%N)"
  (env -u VANTORA_HARNESS_RUN setsid bash "$(dirname "${BASH_SOURCE[0]}")/end-harness-run.sh" "$$" "$VANTORA_HARNESS_RUN" \
    </dev/null >/dev/null 2>&1 &)
fi

stoppable_group=
stop_harness() {
  local signal=$1 status=$2
  trap - TERM INT
  if [ -n "$stoppable_group" ]; then
    kill -"$signal" -- "-$stoppable_group" 2>/dev/null
    for _ in $(seq 50); do
      kill -0 -- "-$stoppable_group" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$stoppable_group" 2>/dev/null
  fi
  exit "$status"
}
trap 'stop_harness TERM 143' TERM
trap 'stop_harness INT 130' INT

# Runs "$@" in a process group of its own and returns its status.
run_stoppable() {
  setsid "$@" &
  stoppable_group=$!
  wait "$stoppable_group"
  local status=$?
  stoppable_group=
  return "$status"
}
