#include "bridge/HueGamut.h"

#include "bridge/ClipDecoders.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vantora {

namespace {

constexpr QLatin1String redKey{"red"};
constexpr QLatin1String greenKey{"green"};
constexpr QLatin1String blueKey{"blue"};

constexpr double tolerance = 1e-6;

// Which side of the line a→b the point p lies on, scaled by the edge's length.
double side(HueXY a, HueXY b, HueXY p)
{
    return (p.y - a.y) * (b.x - a.x) - (p.x - a.x) * (b.y - a.y);
}

HueXY nearestOnSegment(HueXY a, HueXY b, HueXY p)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return {a.x + t * dx, a.y + t * dy};
}

double squaredDistance(HueXY a, HueXY b)
{
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

} // namespace

HueXY HueGamut::clamped(HueXY point) const
{
    if (!red.isValid() || !green.isValid() || !blue.isValid())
        return point;
    if (std::abs(side(red, green, blue)) <= tolerance)
        return point;

    const std::array sides{side(red, green, point), side(green, blue, point), side(blue, red, point)};
    const bool somewhereRight = std::any_of(sides.begin(), sides.end(), [](double d) { return d < -tolerance; });
    const bool somewhereLeft = std::any_of(sides.begin(), sides.end(), [](double d) { return d > tolerance; });
    if (!(somewhereRight && somewhereLeft))
        return point;

    const std::array candidates{nearestOnSegment(red, green, point), nearestOnSegment(green, blue, point),
                                nearestOnSegment(blue, red, point)};
    HueXY nearest = candidates[0];
    for (const HueXY candidate : candidates) {
        // Strictly nearer only: a tie stays with the earlier edge.
        if (squaredDistance(candidate, point) < squaredDistance(nearest, point))
            nearest = candidate;
    }
    return nearest;
}

QJsonObject toJson(const HueGamut &gamut)
{
    return QJsonObject{{redKey, toJson(gamut.red)}, {greenKey, toJson(gamut.green)}, {blueKey, toJson(gamut.blue)}};
}

} // namespace vantora

template <>
vantora::HueGamut vantora::strictjson::decode<vantora::HueGamut>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return vantora::HueGamut{
        .red = object.required<vantora::HueXY>(vantora::redKey),
        .green = object.required<vantora::HueXY>(vantora::greenKey),
        .blue = object.required<vantora::HueXY>(vantora::blueKey),
    };
}
