#pragma once

#include <QProcessEnvironment>

#include <optional>

namespace vantora {

// Whether the user's desktop session is a Wayland one, even where the app then runs on X11.
bool isWaylandSession(const QProcessEnvironment &environment);

// The Qt platform to force: xcb in a Wayland session that also offers an X display (tray
// placement, window activation and global key grabs need X11), unless the user chose a
// platform; otherwise none.
std::optional<QByteArray> forcedQtPlatform(const QProcessEnvironment &environment);

// Whether the environment leaves the toolkit no display to try: neither an X nor a Wayland
// display is named and the platform is left to the toolkit or is X11's (a Wayland platform
// chosen by name may still find the compositor's default socket).
bool namesNoDisplay(const QProcessEnvironment &environment);

} // namespace vantora
