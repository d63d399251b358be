#include "welcome/ConnectionPillPalette.h"

#include "ui/Colours.h"

namespace vantora::pillPalette {

using namespace ui::colours;

ui::DynamicColor primary()
{
    return {grey255(18), white(0.9)};
}

ui::DynamicColor secondary()
{
    return {grey(0.35), white(0.65)};
}

ui::DynamicColor searching()
{
    return {grey255(77), white(0.7)};
}

ui::DynamicColor baseFill()
{
    return {displayP3(0.1614, 0.1614, 0.1614, 0.1), white(0.07)};
}

std::array<ui::DynamicColor, 2> raisedFill()
{
    return {{{displayP3(1, 1, 1), grey(0.34)}, {displayP3(0.8245, 0.8245, 0.8245), grey(0.24)}}};
}

std::array<ui::DynamicColor, 3> innerRim()
{
    return {{{grey255(224), grey(0.4)}, {grey255(167), grey(0.22)}, {grey255(216), grey(0.34)}}};
}

std::array<ui::DynamicColor, 3> raisedRim()
{
    return {{{white(), grey(0.42)}, {grey(0.5), grey(0.2)}, {white(), grey(0.42)}}};
}

ui::DynamicColor hoverHighlight()
{
    return ui::DynamicColor::fixed(white(0.1));
}

ui::DropShadow readyShadow()
{
    return {black(0.08), 2.5, QPointF(0, 2)};
}

} // namespace vantora::pillPalette
