#pragma once

#include "bridge/HueXY.h"

#include <QJsonObject>

namespace vantora {

// The triangle of colours a light can show.
struct HueGamut {
    HueXY red{};
    HueXY green{};
    HueXY blue{};

    // The gamut the built-in sample lights carry.
    static constexpr HueGamut preview();

    // The point itself when it lies inside the triangle (or within 1e-6 of an edge), else
    // the nearest point on its edges. A gamut with an invalid corner or with its corners on
    // one line returns every point unchanged. Either winding of the corners works.
    HueXY clamped(HueXY point) const;

    bool operator==(const HueGamut &) const = default;
};

constexpr HueGamut HueGamut::preview()
{
    return HueGamut{.red = {0.6915, 0.3083}, .green = {0.17, 0.7}, .blue = {0.1532, 0.0475}};
}

QJsonObject toJson(const HueGamut &gamut);

} // namespace vantora
