# Context switches of every thread of the application, "tid count" a line.
switches_by_thread() {
  local status
  for status in /proc/"$app_pid"/task/*/status; do
    awk -v tid="$(basename "$(dirname "$status")")" \
      '/^(non)?voluntary_ctxt_switches/ { n += $2 } END { if (NR) print tid, n }' "$status" 2>/dev/null
  done
}
# Wake-ups in each second over $wake_seconds seconds, one count a word. A thread that
# starts meanwhile counts in full; one that ends takes its last second's switches along.
wake_ups() {
  local before after second
  before=$(switches_by_thread)
  for second in $(seq "$wake_seconds"); do
    sleep 1
    after=$(switches_by_thread)
    awk 'NR == FNR { seen[$1] = $2; next } { n += $2 - seen[$1] } END { printf "%d ", n }' \
      <(echo "$before") <(echo "$after")
    before=$after
  done
}

