#pragma once

#include "bridge/HueLight.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace vantora {

// A room as the lights list shows it, identified by `id`.
struct LightRoom {
    QString id{};
    QString name{};
    // In snapshot order.
    std::vector<HueLight> lights{};

    std::vector<HueLight> brightnessLights() const;
    std::optional<double> averageBrightness() const;
    double minimumBrightness() const;

    bool operator==(const LightRoom &) const = default;
};

// Summaries over any list of lights, used by rooms and by the controls of all lights.

// The lights that are on, reachable and dimmable, in list order.
std::vector<HueLight> brightnessLights(std::span<const HueLight> lights);
// The mean brightness of brightnessLights(); absent when there are none.
std::optional<double> averageBrightness(std::span<const HueLight> lights);
// The highest minimumBrightness among brightnessLights(); 1 when there are none.
double minimumBrightness(std::span<const HueLight> lights);

} // namespace vantora
