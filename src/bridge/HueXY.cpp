#include "bridge/HueXY.h"

#include <cmath>

namespace vantora {

namespace {

const QString xKey = QStringLiteral("x");
const QString yKey = QStringLiteral("y");

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
vantora::HueXY vantora::runtime::json::decode<vantora::HueXY>(const QJsonValue &value, const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return vantora::HueXY{.x = object.required<double>(vantora::xKey), .y = object.required<double>(vantora::yKey)};
}
