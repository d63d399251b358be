#pragma once

#include "ui/DynamicColor.h"

// The few desktop colours the views name, fixed per scheme so that every desktop theme
// shows the panel alike.
namespace vantora::ui::systemColours {

DynamicColor orange();
// Secondary and tertiary text and glyphs.
DynamicColor secondary();
DynamicColor tertiary();
DynamicColor windowBackground();

} // namespace vantora::ui::systemColours
