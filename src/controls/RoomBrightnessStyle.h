#pragma once

#include "ui/Environment.h"

#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace vantora::controls {

// How the room brightness control is presented: the tall edge slider laid over the panel,
// or one of three compact sliders in a popover.
enum class RoomBrightnessStyle {
    edge,
    slim,
    vertical,
    percentage,
};

inline constexpr std::array<RoomBrightnessStyle, 4> allRoomBrightnessStyles{
    RoomBrightnessStyle::edge, RoomBrightnessStyle::slim, RoomBrightnessStyle::vertical,
    RoomBrightnessStyle::percentage};

// "Room edge", "Slim", "Vertical", "With value": also what the style pickers show.
QString rawValue(RoomBrightnessStyle style);
// Exactly one of the raw values; anything else is absent.
std::optional<RoomBrightnessStyle> roomBrightnessStyleFromRawValue(QStringView text);

// The whole control's size.
QSize footprint(RoomBrightnessStyle style);

// The style the panel and the preview hand down to the room controls.
inline const ui::EnvironmentKey<RoomBrightnessStyle> roomBrightnessStyleKey{"roomBrightnessStyle",
                                                                            RoomBrightnessStyle::edge};

inline RoomBrightnessStyle roomBrightnessStyle(const QWidget *widget)
{
    return ui::Environment::of(widget).value(roomBrightnessStyleKey);
}

} // namespace vantora::controls
