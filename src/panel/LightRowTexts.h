#pragma once

#include "bridge/HueLight.h"

#include <QString>

// The fixed texts of a light's row, chosen from the light's state. Names from the bridge are
// put in as they are.
namespace vantora::lightRowTexts {

// The state icon's tooltip: how the icon can be used.
QString iconToolTip(const HueLight &light);
// The row button's name and hint, for a light with something to adjust.
QString rowName(const HueLight &light);
QString rowHint(const HueLight &light);
// The switch's name and hint.
QString toggleName(const HueLight &light);
QString toggleHint(const HueLight &light, bool isUpdating);
// "43% brightness": the value to the nearest whole percent, halves away from zero.
QString brightnessReadout(double percent);
QString unreachableBadge();

} // namespace vantora::lightRowTexts
