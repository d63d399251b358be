#include "controls/ToggleGradient.h"

#include "ui/Colours.h"

namespace vantora::controls {

namespace {

QColor p3(int red, int green, int blue)
{
    return ui::colours::displayP3(red / 255.0, green / 255.0, blue / 255.0);
}

} // namespace

std::array<QColor, 2> toggleGradient(ToggleColor color)
{
    switch (color) {
    case ToggleColor::amber:
        return {p3(255, 170, 0), p3(255, 192, 0)};
    case ToggleColor::aqua:
        return {p3(28, 218, 251), p3(28, 251, 221)};
    case ToggleColor::blue:
        return {p3(28, 80, 251), p3(28, 162, 251)};
    case ToggleColor::green:
        return {p3(65, 251, 28), p3(176, 244, 162)};
    case ToggleColor::purple:
        return {p3(113, 0, 255), p3(121, 127, 255)};
    }
    return {p3(255, 170, 0), p3(255, 192, 0)};
}

} // namespace vantora::controls
