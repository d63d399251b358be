#pragma once

#include "ui/ColorScheme.h"
#include "ui/DropShadow.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace vantora::ui {

// What a button is doing, as its look tells.
enum class ButtonPhase {
    Normal,
    Pressed,
    Disabled,
};

// The capsule look of the panel's text buttons: a vertical gradient with a three-colour rim,
// a faint tint while the pointer is over an enabled button, a soft shadow under the whole,
// and the whole drawn fainter while pressed or disabled.
struct LightsActionButtonStyle final {
    // The colours of one scheme.
    struct Palette final {
        QColor fillTop;
        QColor fillBottom;
        QColor rimTop;
        QColor rimMiddle;
        QColor rimBottom;
        // Fully shown; the hover amount scales its opacity.
        QColor hoverTint;
        QColor foreground;
    };

    // The lower colour of the light scheme's gradient.
    QColor bottomColour;

    static constexpr qreal rimWidth = 0.75;

    static ButtonPhase phase(bool isEnabled, bool isDown);
    // The opacity of everything the button draws, its shadow included.
    static qreal opacity(ButtonPhase phase);
    static DropShadow shadow();
    Palette palette(ColorScheme scheme) const;

    // Fill, rim and tint of the capsule over `rect`; `hoverAmount` runs from 0 (no tint) to 1.
    void paintCapsule(QPainter &painter, const QRectF &rect, ColorScheme scheme, qreal hoverAmount) const;

    friend bool operator==(const LightsActionButtonStyle &, const LightsActionButtonStyle &) = default;
};

} // namespace vantora::ui
