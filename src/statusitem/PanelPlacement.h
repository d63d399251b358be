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

// What the panel is placed by, however it is opened (a click, a key, another launch): the
// tray icon when its place is known, else the last click on it, else the end of the desktop's
// own panel, where trays sit: the screen's edge that gives up the most of the usable area
// (`available` inside `screen`, the pointer's screen), at its right end for a panel along the
// top or the bottom and at its bottom end for one along a side; the top right corner of the
// usable area when no edge gives any up.
QRect panelAnchor(const std::optional<QRect> &trayIcon, const std::optional<QRect> &lastClick, QRect screen,
                  QRect available);

} // namespace vantora::statusitem
