#include "bridge/LightColour.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vantora::LightColour {

namespace {

constexpr HueXY whitePoint{0.3127, 0.329};

double linearised(double component)
{
    double v = component;
    if (component < 0)
        v = 0;
    else if (!(component < 1))
        v = 1; // also catches not-a-number
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double gammaEncoded(double v)
{
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

double notNegative(double v)
{
    return v > 0 ? v : 0; // also turns not-a-number into 0
}

} // namespace

HueXY xy(Rgb colour)
{
    const double r = linearised(colour.red);
    const double g = linearised(colour.green);
    const double b = linearised(colour.blue);
    const double X = 0.4123908 * r + 0.3575843 * g + 0.1804808 * b;
    const double Y = 0.212639 * r + 0.7151687 * g + 0.0721923 * b;
    const double Z = 0.0193308 * r + 0.1191948 * g + 0.9505322 * b;
    const double sum = X + Y + Z;
    if (sum > 1e-6)
        return {X / sum, Y / sum};
    return whitePoint;
}

HueXY xy(HueSaturation colour)
{
    const double h = colour.hue - std::floor(colour.hue);
    const double d = 6 * h;
    // A hue a hair below a whole turn can round up to exactly 1, which would name a
    // seventh sector; a hue that is not finite gives no sector at all.
    const int sector = std::isfinite(d) ? std::clamp(int(d), 0, 5) : 0;
    const double s = std::isnan(colour.saturation) ? 0 : std::clamp(colour.saturation, 0.0, 1.0);
    const double f = d - 2 * std::trunc(d / 2);
    const double mid = 1 - std::abs(f - 1) * s;
    const double low = 1 - s;

    const std::array<Rgb, 6> sectors{{
        {1, mid, low},
        {mid, 1, low},
        {low, 1, mid},
        {low, mid, 1},
        {mid, low, 1},
        {1, low, mid},
    }};
    return xy(sectors[std::size_t(sector)]);
}

Rgb rgb(HueXY point)
{
    if (!point.isValid())
        return {1, 1, 1};
    const double X = point.x / point.y;
    const double Z = (1 - point.x - point.y) / point.y;
    double r = notNegative(3.2409699 * X - 1.5373832 - 0.4986108 * Z);
    double g = notNegative(-0.9692436 * X + 1.8759675 + 0.0415551 * Z);
    double b = notNegative(0.0556301 * X - 0.203977 + 1.0569715 * Z);
    const double largest = std::max({r, g, b});
    if (largest >= 1) {
        r /= largest;
        g /= largest;
        b /= largest;
    }
    return {gammaEncoded(r), gammaEncoded(g), gammaEncoded(b)};
}

HueSaturation hueSaturation(HueXY point)
{
    const auto [r, g, b] = rgb(point);
    const double largest = std::max({r, g, b});
    const double smallest = std::min({r, g, b});
    const double delta = largest - smallest;
    if (delta <= 1e-5)
        return {0, 0};
    double h = 0;
    if (largest == r)
        h = (g - b) / delta;
    else if (largest == g)
        h = (b - r) / delta + 2;
    else
        h = (r - g) / delta + 4;
    const double turns = h / 6 + 1;
    return {turns - std::floor(turns), delta / largest};
}

} // namespace vantora::LightColour
