#pragma once

class QWidget;

namespace vantora::ui {

// The window a dialog opened for `origin` is modal to: the window the user sees `origin` in.
// A hidden window (a tray panel that closed, or one never shown) would take the dialog to its
// old or unset place, out of sight; then there is none, and the dialog stands alone, centred
// on the screen.
QWidget *modalParentFor(QWidget *origin);

} // namespace vantora::ui
