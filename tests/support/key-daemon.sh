# Sourced by the scripts whose private session bus offers the desktop's shortcut portal with
# its KDE backend, which hands the keys to KDE's key daemon. Plasma 5's kglobalaccel5 comes
# with a service file for the bus; Plasma 6's kglobalacceld (Debian 13) is started by the
# desktop session's service manager and has none. offer_key_daemon lets the bus start
# whichever is installed on demand, through a service file under $XDG_DATA_HOME, which the
# session bus reads when it starts. The daemon grabs the keys on the X server of DISPLAY, as
# in an X11 session, also where the tests make the program believe it runs in a Wayland
# session: there Plasma 6's daemon leaves the keys to the compositor and ends at once.

key_daemon() {
  local daemon
  for daemon in /usr/bin/kglobalaccel5 /usr/lib/*/libexec/kglobalacceld; do
    [ -x "$daemon" ] && { echo "$daemon"; return 0; }
  done
  return 1
}

offer_key_daemon() {
  local daemon
  daemon=$(key_daemon) || return 1
  mkdir -p "$XDG_DATA_HOME/dbus-1/services"
  printf '[D-BUS Service]\nName=org.kde.kglobalaccel\nExec=/usr/bin/env XDG_SESSION_TYPE=x11 %s\n' "$daemon" \
    >"$XDG_DATA_HOME/dbus-1/services/org.kde.kglobalaccel.service"
}

# Plasma 6's portal opens System Settings at every bind of new keys (through
# plasma-open-settings, or KIO's opener where Plasma's workspace is installed). Where none is
# installed the opener shows an error window, which takes the X server's focus from the window
# under test, and its keys with it. offer_settings_stand_ins puts stand-ins for the programs the
# portal may start in the folder $1, first on the PATH the bus hands the portal; each notes its
# start as a line added to the file $2.
offer_settings_stand_ins() {
  local settings
  mkdir -p "$1"
  for settings in plasma-open-settings systemsettings systemsettings5 kcmshell6 kcmshell5 \
    kde-open kde-open5 kioclient kioclient5; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$settings" "$2" >"$1/$settings"
    chmod +x "$1/$settings"
  done
  export PATH="$1:$PATH"
}

# The object path of the running key daemon's entry for the program that holds a shortcut named
# or described $1 ("Show or hide app"); nothing where none holds it. The question starts no daemon.
key_daemon_component() {
  local component
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.kde.kglobalaccel 2>/dev/null | grep -q 'boolean true' || return 1
  for component in $(dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel \
                       org.kde.KGlobalAccel.allComponents 2>/dev/null | awk -F'"' '/object path/ {print $2}'); do
    if dbus-send --session --print-reply --dest=org.kde.kglobalaccel "$component" \
      org.kde.kglobalaccel.Component.allShortcutInfos 2>/dev/null | grep -qF "string \"$1\""; then
      echo "$component"
      return 0
    fi
  done
  return 1
}

# True when the running key daemon holds a shortcut named or described $1 for any program.
key_daemon_holds() {
  key_daemon_component "$1" >/dev/null
}

# The name the running key daemon shows for the program whose shortcut is named or described
# $1, as its settings list it.
key_daemon_program_name() {
  local component
  component=$(key_daemon_component "$1") || return 1
  dbus-send --session --print-reply --dest=org.kde.kglobalaccel "$component" org.freedesktop.DBus.Properties.Get \
    string:org.kde.kglobalaccel.Component string:friendlyName 2>/dev/null | awk -F'"' '/string/ {print $2; exit}'
}

# True when the running key daemon lists the shortcut named or described $1 under vantora.
key_daemon_lists_under_ours() {
  [ "$(key_daemon_program_name "$1")" = vantora ]
}
