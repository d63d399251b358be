#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace vantora::statusitem {

// Where the panel goes: beside the tray icon when its place is known, else at the pointer;
// below the anchor when the anchor sits in the top half of the screen, above it otherwise;
// centred on it across; and always inside the screen's usable area.
QPoint panelPosition(QSize panel, const std::optional<QRect> &trayIcon, QPoint pointer, QRect available);

} // namespace vantora::statusitem
