#pragma once

#include <QByteArray>

#include <cstdlib>
#include <memory>

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;

namespace vantora::platform {

struct XkbKeymapDeleter {
    void operator()(xkb_keymap *keymap) const;
};
using XkbKeymapHandle = std::unique_ptr<xkb_keymap, XkbKeymapDeleter>;

// What xcb hands out (replies, events, errors) is the caller's to free with free(3).
struct XcbFree {
    void operator()(void *pointer) const { std::free(pointer); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// One client connection of our own to an X server, with the XKB extension switched on.
// Kept apart from Qt's connection so our grabs, their errors and per-client keyboard flags
// never meet Qt's event handling. For the platform layer's X11 services only.
class X11Connection final {
public:
    // Null when no X server answers on `displayName` (empty: $DISPLAY) or it lacks XKB.
    static std::unique_ptr<X11Connection> open(const QByteArray &displayName);
    ~X11Connection();

    X11Connection(const X11Connection &) = delete;
    X11Connection &operator=(const X11Connection &) = delete;

    xcb_connection_t *raw() const noexcept { return m_connection; }
    quint32 rootWindow() const noexcept { return m_rootWindow; }
    // The number of the root window's screen, as in the display name ":0.<n>".
    int screenNumber() const noexcept { return m_screenNumber; }
    qint32 keyboardDeviceId() const noexcept { return m_keyboardDeviceId; }
    // True once the server closed the connection or it broke.
    bool hasFailed() const;

    // The atom named `name`, made if the server has none yet; None (0) when it does not answer.
    quint32 internAtom(const QByteArray &name) const;

    // The core keyboard's keymap as the server has it now; null if it cannot be read.
    XkbKeymapHandle fetchKeymap() const;
    // The keyboard's active layout group.
    quint32 fetchActiveGroup() const;

private:
    X11Connection(xcb_connection_t *connection, quint32 rootWindow, int screenNumber, qint32 keyboardDeviceId);

    xcb_connection_t *m_connection;
    quint32 m_rootWindow;
    int m_screenNumber;
    qint32 m_keyboardDeviceId;
    std::unique_ptr<xkb_context, void (*)(xkb_context *)> m_context;
};

} // namespace vantora::platform
