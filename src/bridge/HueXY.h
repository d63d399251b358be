#pragma once

#include <QJsonObject>

namespace vantora {

// A point of the CIE 1931 xy chromaticity diagram.
struct HueXY {
    double x = 0;
    double y = 0;

    // Finite, x ≥ 0, y > 0 and x + y ≤ 1.00001: a point that names a real colour.
    // The small excess over 1 lets points rounded by the bridge through.
    bool isValid() const;

    bool operator==(const HueXY &) const = default;
};

QJsonObject toJson(const HueXY &point);

} // namespace vantora
