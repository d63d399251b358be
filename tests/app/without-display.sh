#!/usr/bin/env bash
# The real application started where there is no display to reach, as from a text console or
# an ssh session: one line of its own that says so, and a failure status, not an abort. Run by
# run-under-xvfb.sh: where the display answers but Qt's platform plugin fails, the application
# says that instead, with Qt's reason.
set -euo pipefail
app=$1
notice="vantora: no graphical display found; start vantora from a desktop session."
plugin_failed="vantora: the display answers, but Qt could not start its platform plugin. Qt says:"
reachable_display=${DISPLAY:?run under run-under-xvfb.sh}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
# An X display number with no server behind it.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done

# Each row: a name, whether the notice is all the output, its last line, or the plugin's failure
# is told instead, then the environment it starts in.
rows=(
  "no-display-variables|whole|"
  "x11-chosen-without-display|whole|QT_QPA_PLATFORM=xcb"
  "x-display-without-server|last|DISPLAY=:$display"
  "wayland-without-compositor|last|QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=vantora-no-compositor"
  "missing-platform-plugin-on-a-display|plugin|DISPLAY=$reachable_display QT_QPA_PLATFORM=vantora-no-such-plugin"
)
failed=0
for row in "${rows[@]}"; do
  IFS='|' read -r name shown variables <<<"$row"
  status=0
  # shellcheck disable=SC2086 # the row's variables are words of their own
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
    HOME="$home" XDG_RUNTIME_DIR="$home/runtime" DBUS_SESSION_BUS_ADDRESS=disabled: $variables \
    timeout 60 "$app" --demo 2>&1) || status=$?
  case $shown in
    whole) [ "$output" = "$notice" ] && said=yes || said=no ;;
    last) [ "$(tail -n 1 <<<"$output")" = "$notice" ] && said=yes || said=no ;;
    # Qt's own reason follows: the plugins it has.
    plugin) grep -qxF "$plugin_failed" <<<"$output" && grep -q '^Available platform plugins are: .*xcb' <<<"$output" &&
      ! grep -qF "$notice" <<<"$output" && said=yes || said=no ;;
  esac
  if [ "$said" = yes ] && [ "$status" -eq 1 ]; then
    echo "$name: told, status $status"
  else
    echo "$name: status $status (1 wanted), output:" >&2
    printf '%s\n' "$output" >&2
    failed=1
  fi
done
exit "$failed"
