#pragma once

#include <functional>

class QScreen;
class QWidget;

namespace vantora::ui {

// The window a dialog opened for `origin` is modal to: the window the user sees `origin` in.
// A hidden window (a tray panel that closed, or one never shown) would take the dialog to its
// old or unset place, out of sight; then there is none, and the dialog stands alone (see
// placeLoneDialog).
QWidget *modalParentFor(QWidget *origin);

// The dialog open on `window` that blocks it (a question, an alert), the last shown when there
// are several; null with none.
QWidget *openDialogOf(const QWidget &window);

// Raises that dialog and gives it the keyboard: brought forward alone, `window` would have the
// keyboard where no key reaches anything.
void bringDialogForward(const QWidget &window);

// The screen a dialog with no window to go with is centred on: the application's choice (the
// screen of its tray icon); when it has none, the toolkit's. Returns the source in place before.
using ScreenSource = std::function<QScreen *()>;
ScreenSource setLoneDialogScreen(ScreenSource source);

// Centres `dialog` on that screen, before it is shown.
void placeLoneDialog(QWidget &dialog);

} // namespace vantora::ui
