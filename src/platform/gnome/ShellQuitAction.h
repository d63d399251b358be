#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

struct xcb_connection_t;

namespace vantora::platform {

// Gives the desktop shell's own "Quit" (GNOME Shell's application menus, in its top bar and
// its dash) an action that quits the application: a "quit" action group on the session bus,
// as such shells ask applications for one (org.gtk.Actions), named on each of the
// application's windows, before the window manager takes them, by the properties it reads
// for it. The properties go out on the toolkit's own X connection, in order with the requests
// that make and map the window, so the window manager finds them without any wait. Without
// it the shell only closes the windows, and an application that keeps running without a
// window (with no tray to show it) would seem quit and go on.
// Does nothing without a session bus or an X connection. The action runs from the main thread's
// event loop, on a later turn. Main thread only.
class ShellQuitAction final {
public:
    // `quit` runs when the shell activates the action. `connection` is the toolkit's own, which
    // outlives this; null: none. The properties' names are asked of the server here, once.
    ShellQuitAction(std::function<void()> quit, xcb_connection_t *connection);
    ~ShellQuitAction();

    ShellQuitAction(const ShellQuitAction &) = delete;
    ShellQuitAction &operator=(const ShellQuitAction &) = delete;

    // Names the action on `window`, a window of `connection` not yet mapped. Sends without
    // waiting for the server.
    void offerOn(quint32 window);

private:
    struct Exported;
    struct Atoms {
        quint32 text = 0;
        quint32 busName = 0;
        quint32 objectPath = 0;
    };

    xcb_connection_t *m_connection;
    Atoms m_atoms;
    std::unique_ptr<Exported> m_exported;
};

} // namespace vantora::platform
