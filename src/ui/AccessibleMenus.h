#pragma once

class QToolButton;

namespace vantora::ui::a11y {

// Makes the menu of `button` (a button that opens it) reachable for assistive technologies
// and readable as screen readers expect:
// - while open, the menu is the button's child (Qt leaves popups out of the tree, so a
//   reader walking it would never find the menu);
// - a checkable entry reads as a check box with its checked state, and tells of its changes
//   (Qt reads it as a plain menu item whose check shows only once checked), found in its
//   place among the menu's entries.
// The button reads as a button with a popup, expanded while the menu is open.
void presentMenuButton(QToolButton &button);

} // namespace vantora::ui::a11y
