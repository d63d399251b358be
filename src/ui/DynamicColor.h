#pragma once

#include "ui/ColorScheme.h"

#include <QColor>

namespace vantora::ui {

// A colour with one value per colour scheme.
struct DynamicColor final {
    QColor light;
    QColor dark;

    // The same colour in both schemes.
    static DynamicColor fixed(const QColor &colour) { return {colour, colour}; }

    const QColor &resolve(ColorScheme scheme) const { return scheme == ColorScheme::Dark ? dark : light; }

    friend bool operator==(const DynamicColor &, const DynamicColor &) = default;
};

} // namespace vantora::ui
