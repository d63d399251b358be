#pragma once

#include <QColor>
#include <QIcon>
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

namespace vantora {

// The tray's bulb. It is installed in the hicolor icon theme as a symbolic icon (the
// application id with "-symbolic"), which desktops that draw tray icons from the theme
// recolour to suit their panel; trays that take pixels get the glyph drawn in one colour.
//
// The icon carries its theme name only while the theme in use has it (installed, or found
// beside the program), so that a tray never looks for a name it cannot find.
QString trayIconThemeName();

// Adds the icon folder that sits beside the program (an install prefix's share/icons, or the
// build tree's copy) to the places the theme is looked up in. Call once, before the first icon.
void addTrayIconSearchPath();

// The bulb drawn in `tint`. `drawnInto` (optional) hears of each time the icon is painted
// into a window, with the square it filled: the window of an X11 tray shows the tray's own
// background around the glyph.
QIcon trayIconImage(const QColor &tint, std::function<void(QWidget &window, const QRect &glyph)> drawnInto = {});

// The colour in which the glyph reads on a panel of `background`.
QColor trayGlyphColourOn(const QColor &background);

} // namespace vantora
