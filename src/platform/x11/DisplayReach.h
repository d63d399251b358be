#pragma once

#include <QProcessEnvironment>

namespace vantora::platform {

// Whether a display server answers where the environment points a graphical program: the X
// server of DISPLAY accepts a connection, or a Wayland compositor listens on the socket of
// WAYLAND_DISPLAY (a bare name lies in XDG_RUNTIME_DIR; unset, it is "wayland-0", as the
// Wayland client library has it). Asks each once and waits for nothing else.
bool reachesADisplay(const QProcessEnvironment &environment);

} // namespace vantora::platform
