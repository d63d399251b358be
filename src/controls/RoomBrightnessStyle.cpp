#include "controls/RoomBrightnessStyle.h"

namespace vantora::controls {

QString rawValue(RoomBrightnessStyle style)
{
    switch (style) {
    case RoomBrightnessStyle::edge:
        return QStringLiteral("Room edge");
    case RoomBrightnessStyle::slim:
        return QStringLiteral("Slim");
    case RoomBrightnessStyle::vertical:
        return QStringLiteral("Vertical");
    case RoomBrightnessStyle::percentage:
        return QStringLiteral("With value");
    }
    return {};
}

std::optional<RoomBrightnessStyle> roomBrightnessStyleFromRawValue(QStringView text)
{
    for (const RoomBrightnessStyle style : allRoomBrightnessStyles) {
        if (text == rawValue(style))
            return style;
    }
    return std::nullopt;
}

QSize footprint(RoomBrightnessStyle style)
{
    switch (style) {
    case RoomBrightnessStyle::edge:
        return {32, 164};
    case RoomBrightnessStyle::slim:
        return {164, 40};
    case RoomBrightnessStyle::vertical:
        return {46, 136};
    case RoomBrightnessStyle::percentage:
        return {180, 40};
    }
    return {};
}

} // namespace vantora::controls
