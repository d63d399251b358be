#pragma once

#include <QByteArray>

#include <memory>

namespace vantora::platform {

class X11Connection;

// Asks the window manager to give a window the focus on behalf of a user action at a known
// X server time (a global shortcut's key press). Window managers that prevent focus
// stealing compare that time with the focused window's last input; without it, a window
// opened by a key grabbed on another connection may be refused the focus. Does nothing
// without an X server.
class X11WindowActivation final {
public:
    explicit X11WindowActivation(const QByteArray &displayName = {});
    ~X11WindowActivation();

    void activate(quint32 window, quint32 userTime);

    enum class Listing {
        inTaskbars, // an ordinary window: in task bars and pagers
        outOfTaskbars, // a window that belongs to something else on the screen, such as a tray icon
    };
    // Whether task bars and pagers list the window, as the window manager reads it when the
    // window is shown: call it while the window is hidden. Keeps the window's other states.
    void setListing(quint32 window, Listing listing);

private:
    std::unique_ptr<X11Connection> m_connection;
};

} // namespace vantora::platform
