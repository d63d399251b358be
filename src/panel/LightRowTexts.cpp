#include "panel/LightRowTexts.h"

#include <QCoreApplication>

#include <cmath>

namespace vantora::lightRowTexts {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("LightRow", text);
}

QString unreachableAdvice()
{
    return tr("Light is unreachable. Check its power.");
}

} // namespace

QString iconToolTip(const HueLight &light)
{
    if (!light.isReachable)
        return unreachableAdvice();
    if (!light.hasAdjustableControls())
        return tr("Use the switch to turn this device on or off.");
    if (!light.isOn || !light.brightness)
        return tr("Click for light controls.");
    return tr("Scroll left to dim, right to brighten. Click for controls.");
}

QString rowName(const HueLight &light)
{
    return tr("Adjust %1, %2").arg(light.name, light.roomName);
}

QString rowHint(const HueLight &light)
{
    return light.isReachable ? tr("Brightness and supported colour controls") : tr("This light is unreachable");
}

QString toggleName(const HueLight &light)
{
    return QStringLiteral("%1, %2").arg(light.name, light.roomName);
}

QString toggleHint(const HueLight &light, bool isUpdating)
{
    if (!light.isReachable)
        return unreachableAdvice();
    if (isUpdating)
        return tr("Updating this light");
    return tr("Turn light on or off");
}

QString brightnessReadout(double percent)
{
    return tr("%1% brightness").arg(static_cast<long long>(std::round(percent)));
}

QString unreachableBadge()
{
    return tr("Unreachable");
}

} // namespace vantora::lightRowTexts
