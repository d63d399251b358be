#include "bridge/LightRoom.h"

#include <algorithm>

namespace vantora {

namespace {

bool takesBrightness(const HueLight &light)
{
    return light.isOn && light.isReachable && light.brightness;
}

} // namespace

std::vector<HueLight> brightnessLights(std::span<const HueLight> lights)
{
    std::vector<HueLight> result;
    std::copy_if(lights.begin(), lights.end(), std::back_inserter(result), takesBrightness);
    return result;
}

std::optional<double> averageBrightness(std::span<const HueLight> lights)
{
    double sum = 0;
    int count = 0;
    for (const HueLight &light : lights) {
        if (takesBrightness(light)) {
            sum += *light.brightness;
            ++count;
        }
    }
    if (count == 0)
        return std::nullopt;
    return sum / count;
}

double minimumBrightness(std::span<const HueLight> lights)
{
    std::optional<double> largest;
    for (const HueLight &light : lights) {
        if (takesBrightness(light))
            largest = std::max<double>(largest.value_or(light.minimumBrightness), light.minimumBrightness);
    }
    return largest.value_or(1.0);
}

std::vector<HueLight> LightRoom::brightnessLights() const
{
    return vantora::brightnessLights(lights);
}

std::optional<double> LightRoom::averageBrightness() const
{
    return vantora::averageBrightness(lights);
}

double LightRoom::minimumBrightness() const
{
    return vantora::minimumBrightness(lights);
}

} // namespace vantora
