#pragma once

#include <QMessageBox>

namespace vantora::ui {

// Gives `box` the icon of `icon`, sharp at any screen density: Qt's own information picture
// exists only at 1x and shows enlarged and blurred on a 1.5x or 2x screen, so that one is
// drawn from the application's own vector image, in the box's highlight colour, at the
// highest pixel ratio among the screens. Other kinds keep the style's icon.
void setMessageIcon(QMessageBox &box, QMessageBox::Icon icon);

} // namespace vantora::ui
