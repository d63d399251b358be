#include "platform/X11WindowActivation.h"

#include "platform/X11Connection.h"

#include <xcb/xcb.h>

namespace vantora::platform {

X11WindowActivation::X11WindowActivation(const QByteArray &displayName)
    : m_connection(X11Connection::open(displayName))
{
}

X11WindowActivation::~X11WindowActivation() = default;

void X11WindowActivation::activate(quint32 window, quint32 userTime)
{
    if (!m_connection || m_connection->hasFailed())
        return;
    xcb_connection_t *connection = m_connection->raw();
    const xcb_atom_t userTimeAtom = m_connection->internAtom("_NET_WM_USER_TIME");
    const xcb_atom_t activeWindowAtom = m_connection->internAtom("_NET_ACTIVE_WINDOW");
    if (userTimeAtom == XCB_ATOM_NONE || activeWindowAtom == XCB_ATOM_NONE)
        return;

    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, userTimeAtom, XCB_ATOM_CARDINAL, 32, 1, &userTime);

    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = activeWindowAtom;
    // Source 1: a request from an application, on behalf of the user's input at that time.
    message.data.data32[0] = 1;
    message.data.data32[1] = userTime;
    xcb_send_event(connection, 0, m_connection->rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

} // namespace vantora::platform
