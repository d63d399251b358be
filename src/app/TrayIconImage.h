#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

namespace vantora {

// The tray's bulb. It is installed in the hicolor icon theme as a symbolic icon (the
// application id with "-symbolic"), which desktops that draw tray icons from the theme
// recolour to suit their panel; X11 trays get the glyph drawn in one colour that suits theirs.
//
// The icon carries its theme name only while the theme in use has it (installed, or found
// beside the program), so that a tray never looks for a name it cannot find.
QString trayIconThemeName();

// The icon folder that sits beside the program (an install prefix's share/icons, or the build
// tree's copy) when it holds the bulb; empty otherwise.
QString trayIconThemeFolder();

// Adds that folder to the places the theme is looked up in. Call once, before the first icon.
void addTrayIconSearchPath();

// The bulb for trays that take pixels without saying what their bar looks like: a light glyph
// in a dark outline, which reads on a dark bar and on a light one alike. The same images every
// run, at the sizes trays ask for.
QList<QImage> outlinedTrayIconImages();

// The bulb drawn in `tint`. `drawnInto` (optional) hears of each time the icon is painted
// into a window, with the square it filled: the window of an X11 tray shows the tray's own
// background around the glyph.
QIcon trayIconImage(const QColor &tint, std::function<void(QWidget &window, const QRect &glyph)> drawnInto = {});

// The colour in which the glyph reads on a panel of `background`.
QColor trayGlyphColourOn(const QColor &background);

} // namespace vantora
