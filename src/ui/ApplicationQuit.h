#pragma once

namespace vantora::ui {

// Ends the application now, as Quit in any menu means. Qt's own quit first asks every window
// to close, and the tray's panel declines closing (it only hides), which would leave the
// user's Quit without effect. The shutdown work tied to the end of the event loop still runs.
void quitApplication();

} // namespace vantora::ui
