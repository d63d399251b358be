#pragma once

#include "bridge/HueXY.h"

// Conversions between the xy points lights take and the sRGB and hue/saturation values the
// colour controls show. Components, hue and saturation run from 0 to 1; hue is a fraction
// of a full turn (0 red, 1/3 green, 2/3 blue). Pure arithmetic, safe from any thread.
namespace vantora::LightColour {

struct Rgb {
    double red = 0;
    double green = 0;
    double blue = 0;

    bool operator==(const Rgb &) const = default;
};

struct HueSaturation {
    double hue = 0;
    double saturation = 0;

    bool operator==(const HueSaturation &) const = default;
};

// Components outside 0…1 count as 0 or 1 (not a number as 1); black gives the D65 white
// point (0.3127, 0.329).
HueXY xy(Rgb colour);

// The colour at full brightness. Any finite hue wraps into one turn; saturation is clamped
// into 0…1 (not a number as 0). A hue that is not finite gives some point, never a fault.
HueXY xy(HueSaturation colour);

// An invalid point gives white.
Rgb rgb(HueXY point);

// Greys, white and invalid points give hue 0 and saturation 0.
HueSaturation hueSaturation(HueXY point);

} // namespace vantora::LightColour
