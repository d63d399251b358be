#include "bridge/LightChange.h"

#include "bridge/HueError.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace vantora {

namespace {

[[noreturn]] void refuse(const char *text)
{
    throw HueError::api(QCoreApplication::translate("vantora::LightChange", text));
}

} // namespace

LightChange LightChange::validated(const HueLight &light) const
{
    if (color && temperature)
        refuse("Choose a colour or a white temperature, not both.");

    LightChange result;
    result.on = on;
    if (brightness) {
        if (!std::isfinite(*brightness) || !light.brightness)
            refuse("Brightness isn’t supported by this light.");
        result.brightness = std::min(std::max<double>(*brightness, light.minimumBrightness), 100.0);
    }
    if (color) {
        if (!light.color || !color->isValid())
            refuse("Colour isn’t supported by this light.");
        result.color = light.gamut ? light.gamut->clamped(*color) : *color;
    }
    if (temperature) {
        if (!light.temperatureRange)
            refuse("White temperature isn’t supported by this light.");
        result.temperature = light.temperatureRange->clamped(*temperature);
    }
    return result;
}

LightChange LightChange::merging(const LightChange &newer) const
{
    LightChange result;
    result.on = newer.on ? newer.on : on;
    result.brightness = newer.brightness ? newer.brightness : brightness;
    if (newer.temperature) {
        if (!newer.color)
            result.temperature = newer.temperature;
    } else if (newer.color) {
        result.color = newer.color;
    } else {
        result.color = color;
        result.temperature = temperature;
    }
    return result;
}

HueLight LightChange::applying(HueLight light) const
{
    if (on)
        light.isOn = *on;
    if (brightness)
        light.brightness = brightness;
    if (color) {
        light.color = color;
        light.temperatureIsActive = false;
    }
    if (temperature) {
        light.temperature = temperature;
        light.temperatureIsActive = true;
    }
    return light;
}

} // namespace vantora
