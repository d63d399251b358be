#pragma once

#include "store/ToggleColor.h"

#include <QColor>

#include <array>

namespace vantora::controls {

// The two colours, top to bottom, that fill an "on" toggle and the room edge slider in the
// user's toggle colour.
std::array<QColor, 2> toggleGradient(ToggleColor color);

} // namespace vantora::controls
