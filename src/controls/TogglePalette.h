#pragma once

#include "store/ToggleColor.h"
#include "ui/ColorScheme.h"

#include <QColor>

#include <array>

namespace vantora {

// The colours a light toggle is drawn with while it is on, per accent colour, already mapped
// from Display P3 into sRGB (clamped where sRGB cannot show them). Gradients run top to bottom.
struct TogglePalette final {
    std::array<QColor, 2> toggleGradient;
    std::array<QColor, 2> trackRimGradient;
    std::array<QColor, 2> knobFillGradient;
    std::array<QColor, 3> knobRimGradient;
    QColor glowColor;
};

const TogglePalette &togglePalette(ToggleColor color);

// The greys of a toggle that is off or unavailable.
struct NeutralTogglePalette final {
    std::array<QColor, 2> trackBase;
    std::array<QColor, 2> trackRim;
    std::array<QColor, 2> knobFill;
};

NeutralTogglePalette neutralTogglePalette(ui::ColorScheme scheme);

} // namespace vantora
