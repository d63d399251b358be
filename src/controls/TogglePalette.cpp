#include "controls/TogglePalette.h"

#include "ui/Colours.h"

namespace vantora {

namespace {

using ui::colours::displayP3;
using ui::colours::grey;
using ui::colours::grey255;
using ui::colours::white;

// A Display P3 colour given in 255ths.
QColor p3(int red, int green, int blue, qreal alpha = 1)
{
    return displayP3(red / 255.0, green / 255.0, blue / 255.0, alpha);
}

TogglePalette makePalette(ToggleColor color)
{
    switch (color) {
    case ToggleColor::amber:
        return {{p3(255, 170, 0), p3(255, 192, 0)},
                {p3(255, 160, 0), p3(255, 188, 0)},
                {p3(255, 215, 131), p3(255, 222, 136)},
                {p3(255, 235, 145), p3(255, 205, 85), p3(255, 238, 152)},
                p3(253, 185, 38)};
    case ToggleColor::aqua:
        return {{p3(28, 218, 251), p3(28, 251, 221)},
                {p3(0, 190, 218), p3(0, 238, 208)},
                {white(0.6), white(0.2)},
                {p3(199, 248, 255), p3(0, 221, 217), p3(199, 248, 255)},
                p3(28, 251, 221)};
    case ToggleColor::blue:
        return {{p3(28, 80, 251), p3(28, 162, 251)},
                {p3(0, 71, 236), p3(0, 157, 243)},
                {p3(206, 234, 255, 0.5), p3(178, 221, 255, 0.5)},
                {p3(150, 210, 255), p3(41, 156, 239), p3(150, 210, 255)},
                p3(28, 162, 251)};
    case ToggleColor::green:
        return {{p3(65, 251, 28), p3(176, 244, 162)},
                {p3(35, 220, 0), p3(148, 232, 136)},
                {white(0.5), white(0.5)},
                {p3(199, 255, 188), p3(112, 232, 88), p3(199, 255, 188)},
                p3(65, 251, 28)};
    case ToggleColor::purple:
        return {{p3(113, 0, 255), p3(121, 127, 255)},
                {p3(113, 0, 255), p3(121, 127, 255)},
                {p3(197, 160, 255), p3(203, 198, 255)},
                {p3(222, 218, 255), p3(145, 128, 255), p3(222, 221, 255)},
                p3(163, 62, 255)};
    }
    Q_UNREACHABLE();
}

} // namespace

const TogglePalette &togglePalette(ToggleColor color)
{
    static const std::array<TogglePalette, allToggleColors.size()> palettes = [] {
        std::array<TogglePalette, allToggleColors.size()> made;
        for (std::size_t index = 0; index < allToggleColors.size(); ++index)
            made[index] = makePalette(allToggleColors[index]);
        return made;
    }();
    return palettes[static_cast<std::size_t>(color)];
}

NeutralTogglePalette neutralTogglePalette(ui::ColorScheme scheme)
{
    if (scheme == ui::ColorScheme::Dark)
        return {{grey(0.22), grey(0.28)}, {grey(0.30), grey(0.34)}, {grey(0.72), grey(0.88)}};
    return {{grey255(233), grey255(241)}, {grey255(219), grey255(237)}, {white(), white()}};
}

} // namespace vantora
