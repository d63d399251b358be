#pragma once

class QAction;

namespace vantora::ui {

// Ends the application now, as Quit in any menu means. Qt's own quit first asks every window
// to close, and the tray's panel declines closing (it only hides), which would leave the
// user's Quit without effect. The shutdown work tied to the end of the event loop still runs.
void quitApplication();

// The application's one Quit command, with Ctrl+Q wherever a window or an open menu holds
// it. Every menu that offers Quit with the key holds this same action: two actions claiming
// the key in one window would make Qt refuse both as ambiguous. Made on first use, owned by
// the application object.
QAction *applicationQuitAction();

} // namespace vantora::ui
