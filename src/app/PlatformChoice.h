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

} // namespace vantora
