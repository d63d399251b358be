#pragma once

#include <QIcon>

namespace vantora {

// The tray's bulb, drawn in one colour: light on a dark panel, dark on a light one (the
// tray's panel is taken to follow the application palette's window colour).
QIcon trayIconImage();

} // namespace vantora
