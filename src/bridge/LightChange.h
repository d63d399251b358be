#pragma once

#include "bridge/HueLight.h"
#include "bridge/HueXY.h"

#include <optional>

namespace vantora {

// What a control asks of one light; every part is optional. After validation a change
// never holds both a colour and a white temperature.
struct LightChange {
    std::optional<bool> on{};
    // Percent.
    std::optional<double> brightness{};
    std::optional<HueXY> color{};
    // Mirek.
    std::optional<qint64> temperature{};

    bool isEmpty() const { return !on && !hasAdjustments(); }
    // Brightness, colour or temperature; on/off alone is no adjustment.
    bool hasAdjustments() const { return brightness || color || temperature; }

    // The change as `light` can take it: brightness raised to the light's minimum and
    // lowered to 100, a colour moved into its gamut, a temperature into its range. Throws
    // HueError::api with a user text for a colour together with a temperature, and for
    // any part the light does not support or a value that is not a number or no colour.
    // An empty change stays empty.
    LightChange validated(const HueLight &light) const;

    // The pending target after `newer` is asked for while this one waits: newer parts
    // win, and a colour and a temperature replace each other, the latest asked for winning.
    LightChange merging(const LightChange &newer) const;

    // `light` as it is once the bridge has accepted this change.
    HueLight applying(HueLight light) const;

    bool operator==(const LightChange &) const = default;
};

} // namespace vantora
