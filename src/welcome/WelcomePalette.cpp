#include "welcome/WelcomePalette.h"

#include "ui/Colours.h"

namespace vantora::welcomePalette {

using namespace ui::colours;

ui::DynamicColor contentForeground()
{
    return {grey(0.1), grey(0.94)};
}

ui::DynamicColor logoTint()
{
    return {grey255(41), white()};
}

ui::DynamicColor backdropTop()
{
    return {grey(0.945), grey(0.17)};
}

ui::DynamicColor backdropMiddle()
{
    return {grey(0.945), grey(0.16)};
}

ui::DynamicColor backdropBottom()
{
    return {grey(0.73), grey(0.075)};
}

qreal backdropMiddleStop(ui::ColorScheme scheme)
{
    return scheme == ui::ColorScheme::Dark ? 0.4 : 0.36;
}

ui::DynamicColor hairline()
{
    return {black(0.025), white(0.035)};
}

} // namespace vantora::welcomePalette
