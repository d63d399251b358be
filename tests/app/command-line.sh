#!/usr/bin/env bash
# The real application's command line, typed at a terminal with no desktop behind it: the
# usage, the version, and every refusal are answered before any display or bus is reached;
# launch flags and the toolkit's own options pass on to the start, which then finds no display.
#   command-line.sh <vantora binary> <version> <README.md>
set -uo pipefail
app=$1
version=$2
readme=$3
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
no_display="vantora: no graphical display found; start vantora from a desktop session."
# An X display number with no server behind it.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done

# The flags the README lists for looking around without a Bridge.
readme_flags=$(sed -n '/^Flags for looking around/,/^$/p' "$readme" | grep -o -- '--[a-z0-9-]*' | sort -u)
[ "$(wc -l <<<"$readme_flags")" -ge 18 ] || { echo "the README lists only: $readme_flags" >&2; exit 1; }

# Each row: a name, the arguments, the exit status, then what standard output and standard
# error must be: "usage", "version", "empty", "no-display", or "refuses:<text it names>";
# standard output may instead be "closed" or "full" (/dev/full), where nothing can be written,
# and standard error then "write-error".
rows=(
  "help|--help|0|usage|empty"
  "help, short|-h|0|usage|empty"
  "help beside a launch flag|--demo -h|0|usage|empty"
  "version|--version|0|version|empty"
  "help to a closed output|--help|1|closed|write-error"
  "version to a full disk|--version|1|full|write-error"
  "an unknown option|--nosuchflag|2|empty|refuses:“--nosuchflag”"
  "a stray argument|lights|2|empty|refuses:“lights”"
  "a stray argument after the options end|-- --demo|2|empty|refuses:“--demo”"
  "help beside an unknown option|--help --nosuchflag|2|empty|refuses:“--nosuchflag”"
  "a launch flag given a value|--demo=1|2|empty|refuses:'--demo'"
  "a launch flag with one dash|-demo|2|empty|refuses:“-demo”"
  "a launch flag in other letters|--Demo|2|empty|refuses:“--Demo”"
  "a toolkit option without its value|--demo -platform|2|empty|refuses:'-platform'"
  "a toolkit option joined to its value|--display=:$display --demo|2|empty|refuses:“--display=:$display”"
  "launch flags and the toolkit's options|--demo --many-lights --dark -platform xcb -session 1234|1|empty|no-display"
  "an X display named by the toolkit's option|-display :$display --demo|1|empty|no-display"
)
failed=0
for row in "${rows[@]}"; do
  IFS='|' read -r name arguments status_wanted out_wanted err_wanted <<<"$row"
  status=0
  run() {
    # shellcheck disable=SC2086 # the row's arguments are words of their own
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE HOME="$home" \
      XDG_RUNTIME_DIR="$home/runtime" DBUS_SESSION_BUS_ADDRESS=disabled: \
      timeout 60 "$app" $arguments 2>"$home/err"
  }
  : >"$home/out"
  case $out_wanted in
    closed) run >&- || status=$? ;;
    full) run >/dev/full || status=$? ;;
    *) run >"$home/out" || status=$? ;;
  esac
  says() { # $1: what the stream must be, $2: its file
    case $1 in
      empty | closed | full) [ ! -s "$2" ] ;;
      write-error) [ "$(cut -d: -f1-2 "$2")" = "vantora: write error" ] ;;
      usage) [ "$(head -n1 "$2")" = "Usage: vantora [options]" ] &&
        while read -r flag; do grep -q -- " $flag " "$2" || return 1; done <<<"$readme_flags" ;;
      version) [ "$(cat "$2")" = "vantora $version" ] ;;
      no-display) [ "$(tail -n1 "$2")" = "$no_display" ] ;;
      refuses:*) grep -qF -- "${1#refuses:}" "$2" && [ "$(tail -n1 "$2")" = "Try “vantora --help” for the options." ] ;;
    esac
  }
  # An answer without a start claims nothing: no lock or socket of a running copy.
  started() { [ "$status_wanted" -eq 1 ] || [ -z "$(ls -A "$home/runtime")" ]; }
  if [ "$status" -eq "$status_wanted" ] && says "$out_wanted" "$home/out" && says "$err_wanted" "$home/err" && started; then
    echo "$name: status $status"
  else
    echo "$name ($arguments): status $status ($status_wanted wanted), output:" >&2
    cat "$home/out" >&2
    echo "-- errors:" >&2
    cat "$home/err" >&2
    ls "$home/runtime" >&2
    failed=1
  fi
done
exit "$failed"
