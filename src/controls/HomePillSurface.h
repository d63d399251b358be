#pragma once

#include "ui/ColorScheme.h"
#include "ui/DropShadow.h"

#include <QColor>
#include <QMargins>

class QPainter;
class QRectF;

namespace vantora::controls {

// The raised capsule behind the pill buttons of the lights page and the settings: two back
// shadows, a gradient face with a three-stop rim, and a faint hover tint. Content drawn on
// the pill takes `foreground`.
//
// The back shadows reach a little past the capsule (most of all below it), so a widget that
// draws the pill keeps `shadowMargins` around it.
struct HomePillSurface final {
    struct Palette final {
        QColor backFill;
        QColor faceTop;
        QColor faceBottom;
        QColor rimTop;
        QColor rimMiddle;
        QColor rimBottom;
        QColor foreground;
    };

    static Palette palette(ui::ColorScheme scheme);
    // The same in both schemes; `tintAmount` 1 shows it fully.
    static QColor hoverTint();
    static ui::DropShadow innerShadow();
    static ui::DropShadow outerShadow();
    static QMargins shadowMargins();

    // Draws the pill over `capsule`; `tintAmount` runs from 0 (no tint) to 1.
    static void paint(QPainter &painter, const QRectF &capsule, ui::ColorScheme scheme, double tintAmount);
};

// The pill button look: the whole drawn at 0.4 while disabled, 0.7 while pressed, else
// fully; the hover tint only while enabled.
namespace homePillButtonStyle {
double opacity(bool enabled, bool pressed);
bool showsTint(bool hovered, bool enabled);
} // namespace homePillButtonStyle

} // namespace vantora::controls
