#pragma once

#include "store/ToggleColor.h"
#include "ui/Animation.h"
#include "ui/ColorScheme.h"

#include <QColor>
#include <QRectF>

#include <array>

class QPainter;

namespace vantora {

// What decides how a light toggle looks.
struct ToggleLook final {
    bool isOn = false;
    bool isUnavailable = false;
    ToggleColor color = ToggleColor::amber;
    bool isSwatch = false;
    ui::ColorScheme scheme = ui::ColorScheme::Light;

    // On and reachable: drawn in the accent colour.
    bool isActive() const { return isOn && !isUnavailable; }
    // Off and reachable.
    bool isResting() const { return !isOn && !isUnavailable; }

    friend bool operator==(const ToggleLook &, const ToggleLook &) = default;
};

// Everything the toggle's drawing varies, in the artwork's own coordinates (the track fills
// 0…52 × 0…24, a swatch's 0…30 × 0…24). Moves component by component between two looks.
struct ToggleVisual final {
    QSizeF track;
    std::array<QColor, 2> trackBase;
    std::array<QColor, 2> activeTrack;
    qreal activeTrackOpacity = 0;
    std::array<QColor, 2> trackRim;
    QRectF knob;
    std::array<QColor, 2> knobFill;
    std::array<QColor, 3> knobRim;
    qreal knobRimWidth = 1;
    qreal knobShadowOpacity = 0.1;
    // The glow's colour with its opacity.
    QColor glow;
    qreal opacity = 1;

    static ToggleVisual of(const ToggleLook &look);

    friend bool operator==(const ToggleVisual &, const ToggleVisual &) = default;
};

ToggleVisual interpolate(const ToggleVisual &from, const ToggleVisual &to, double progress);

// The animation from one look to the next: the on/off look changing wins over a new colour,
// which wins over a new availability; none when neither changed (a new scheme shows at once).
ui::Animation toggleAnimation(const ToggleLook &before, const ToggleLook &after);

// Draws `visual` with its track's top-left corner at `origin`.
void paintToggle(QPainter &painter, QPointF origin, const ToggleVisual &visual);

} // namespace vantora
