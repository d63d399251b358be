#pragma once

#include "ui/DynamicColor.h"

// The welcome stage's colours, one value per scheme.
namespace vantora::welcomePalette {

// The instruction and whatever else the stage's content draws in the default colour.
ui::DynamicColor contentForeground();
ui::DynamicColor logoTint();
// The backdrop runs from backdropTop through backdropMiddle (at backdropMiddleStop) to
// backdropBottom.
ui::DynamicColor backdropTop();
ui::DynamicColor backdropMiddle();
ui::DynamicColor backdropBottom();
qreal backdropMiddleStop(ui::ColorScheme scheme);
ui::DynamicColor hairline();

} // namespace vantora::welcomePalette
