#pragma once

class QMessageBox;
class QString;

namespace vantora::ui {

// Puts a title and a message in `box` as plain text (either may come from a bridge, a server
// or the desktop: never markup), so that the box and its buttons stay on the screen whatever
// the text: a word wider than half the screen breaks where the line ends. The texts are
// shown as a person can select and copy them, exactly as given (MessageText); the box's own
// text() and informativeText() hold them too. They keep their place when the box lays itself
// out anew (another icon, details, a check box, a style change), also while it is shown.
void setPlainMessage(QMessageBox &box, const QString &title, const QString &message);

} // namespace vantora::ui
