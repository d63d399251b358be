#pragma once

#include "ui/DropShadow.h"
#include "ui/DynamicColor.h"

#include <array>

// The connection pill's colours, one value per scheme.
namespace vantora::pillPalette {

// Text and glyphs of the whole pill.
ui::DynamicColor primary();
// The found address and the retry message.
ui::DynamicColor secondary();
// The searching row's message and spinner.
ui::DynamicColor searching();
ui::DynamicColor baseFill();
// Top and bottom of the raised fill shown in `ready`.
std::array<ui::DynamicColor, 2> raisedFill();
// Rim stops at 0, 0.5 and 1, top to bottom.
std::array<ui::DynamicColor, 3> innerRim();
std::array<ui::DynamicColor, 3> raisedRim();
ui::DynamicColor hoverHighlight();
// Cast in `ready` only.
ui::DropShadow readyShadow();

} // namespace vantora::pillPalette
