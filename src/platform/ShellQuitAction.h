#pragma once

#include <QByteArray>

#include <functional>
#include <memory>

namespace vantora::platform {

class X11Connection;

// Gives the desktop shell's own "Quit" (GNOME Shell's application menus, in its top bar and
// its dash) an action that quits the application: a "quit" action group on the session bus,
// as such shells ask applications for one (org.gtk.Actions), named on each of the
// application's X11 windows, before the window manager takes them, by the properties it reads
// for it. Without it the shell only closes the windows, and an application that keeps running
// without a window (with no tray to show it) would seem quit and go on.
// Does nothing without a session bus or an X server. The action runs from the main thread's
// event loop, on a later turn. Main thread only.
class ShellQuitAction final {
public:
    // `quit` runs when the shell activates the action; `displayName` empty: $DISPLAY.
    explicit ShellQuitAction(std::function<void()> quit, const QByteArray &displayName = {});
    ~ShellQuitAction();

    ShellQuitAction(const ShellQuitAction &) = delete;
    ShellQuitAction &operator=(const ShellQuitAction &) = delete;

    // Names the action on `window`, an X11 window not yet mapped.
    void offerOn(quint32 window);

private:
    struct Exported;

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<Exported> m_exported;
};

} // namespace vantora::platform
