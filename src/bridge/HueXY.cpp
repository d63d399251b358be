#include "bridge/HueXY.h"

#include "bridge/ClipDecoders.h"

#include <cmath>

namespace vantora {

namespace {

constexpr QLatin1String xKey{"x"};
constexpr QLatin1String yKey{"y"};

} // namespace

bool HueXY::isValid() const
{
    return std::isfinite(x) && x >= 0 && std::isfinite(y) && y > 0 && x + y <= 1.00001;
}

QJsonObject toJson(const HueXY &point)
{
    return QJsonObject{{xKey, point.x}, {yKey, point.y}};
}

} // namespace vantora

template <>
vantora::HueXY vantora::strictjson::decode<vantora::HueXY>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return vantora::HueXY{.x = object.required<double>(vantora::xKey), .y = object.required<double>(vantora::yKey)};
}
