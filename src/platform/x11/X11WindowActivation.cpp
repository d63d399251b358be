#include "platform/x11/X11WindowActivation.h"

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <iterator>
#include <vector>

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

void X11WindowActivation::setListing(quint32 window, Listing listing)
{
    if (!m_connection || m_connection->hasFailed())
        return;
    xcb_connection_t *connection = m_connection->raw();
    const xcb_atom_t stateAtom = m_connection->internAtom("_NET_WM_STATE");
    const xcb_atom_t skipped[] = {m_connection->internAtom("_NET_WM_STATE_SKIP_TASKBAR"),
                                  m_connection->internAtom("_NET_WM_STATE_SKIP_PAGER")};
    if (stateAtom == XCB_ATOM_NONE || skipped[0] == XCB_ATOM_NONE || skipped[1] == XCB_ATOM_NONE)
        return;
    std::vector<xcb_atom_t> states;
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, window, stateAtom, XCB_ATOM_ATOM, 0, 64);
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            states.assign(values, values + xcb_get_property_value_length(reply) / sizeof(xcb_atom_t));
        }
        std::free(reply);
    }
    std::erase_if(states, [&](xcb_atom_t state) { return state == skipped[0] || state == skipped[1]; });
    if (listing == Listing::outOfTaskbars)
        states.insert(states.end(), std::begin(skipped), std::end(skipped));
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, stateAtom, XCB_ATOM_ATOM, 32,
                        quint32(states.size()), states.data());
    // The toolkit adds its own states to the property on its own connection just after: the
    // change must have reached the server by then, or the toolkit's would replace it.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

} // namespace vantora::platform
