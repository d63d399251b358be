#pragma once

#include <QProcessEnvironment>

#include <optional>

namespace vantora {

// The Qt platform to force: xcb in a Wayland session that also offers an X display (tray
// placement, window activation and global key grabs need X11), unless the user chose a
// platform; otherwise none.
std::optional<QByteArray> forcedQtPlatform(const QProcessEnvironment &environment);

} // namespace vantora
