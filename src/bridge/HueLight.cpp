#include "bridge/HueLight.h"

#include <QCoreApplication>

#include <algorithm>

namespace vantora {

QString HueLight::unassignedRoomName()
{
    return QCoreApplication::translate("vantora::HueLight", "Other lights");
}

LightColour::Rgb HueLight::displayColour() const
{
    if (temperatureIsActive && temperature) {
        // In doubles: a bridge may report any 64-bit mirek.
        const double t = std::clamp((double(*temperature) - 153) / 347, 0.0, 1.0);
        return {0.79 + 0.21 * t, 0.88 - 0.19 * t, 1.0 - 0.67 * t};
    }
    if (!color)
        return {1.0, 0.76, 0.27};
    return LightColour::rgb(*color);
}

} // namespace vantora
