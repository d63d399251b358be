#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>
// The XKB protocol header names a field `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace vantora::platform {

void XkbKeymapDeleter::operator()(xkb_keymap *keymap) const
{
    xkb_keymap_unref(keymap);
}

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray &displayName)
{
    int screenNumber = 0;
    xcb_connection_t *connection =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    const bool hasXkb = screens.rem > 0
        && xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                       XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr);
    const qint32 device = hasXkb ? xkb_x11_get_core_keyboard_device_id(connection) : -1;
    if (device < 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(connection, screens.data->root, screenNumber, device));
}

X11Connection::X11Connection(xcb_connection_t *connection, quint32 rootWindow, int screenNumber,
                             qint32 keyboardDeviceId)
    : m_connection(connection)
    , m_rootWindow(rootWindow)
    , m_screenNumber(screenNumber)
    , m_keyboardDeviceId(keyboardDeviceId)
    , m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref)
{
}

X11Connection::~X11Connection()
{
    xcb_disconnect(m_connection);
}

bool X11Connection::hasFailed() const
{
    return xcb_connection_has_error(m_connection) != 0;
}

quint32 X11Connection::internAtom(const QByteArray &name) const
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, quint16(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

XkbKeymapHandle X11Connection::fetchKeymap() const
{
    if (!m_context || hasFailed())
        return nullptr;
    return XkbKeymapHandle(
        xkb_x11_keymap_new_from_device(m_context.get(), m_connection, m_keyboardDeviceId, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

quint32 X11Connection::fetchActiveGroup() const
{
    const auto cookie = xcb_xkb_get_state(m_connection, xcb_xkb_device_spec_t(m_keyboardDeviceId));
    const XcbReply<xcb_xkb_get_state_reply_t> reply(xcb_xkb_get_state_reply(m_connection, cookie, nullptr));
    return reply ? reply->group : 0;
}

} // namespace vantora::platform
