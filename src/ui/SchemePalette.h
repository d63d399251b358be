#pragma once

#include "ui/ColorScheme.h"

#include <QPalette>

class QWidget;

namespace vantora::ui {

// The colours of a colour scheme for the stock parts Qt draws from a palette (menus, check
// boxes, text fields and scroll bars), so that they sit on the panel's surfaces in either
// scheme even while the desktop's palette is the other one.
QPalette schemePalette(ColorScheme scheme);

// Gives `widget` the scheme palette of its surroundings; does nothing when it has it already.
void followScheme(QWidget &widget);

} // namespace vantora::ui
