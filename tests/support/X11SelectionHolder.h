#pragma once

// For tests that play another X11 client on the test's X server: a tray, a compositing
// manager, whatever announces itself by owning a screen selection.

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>

#include <string>
#include <utility>
#include <vector>

namespace vantora::testing {

// The atom named `name`, made if the server has none yet; None when it does not answer.
inline xcb_atom_t internAtom(xcb_connection_t *connection, const std::string &name)
{
    const platform::XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.c_str()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window that owns `selection` now; None when nobody does.
inline xcb_window_t selectionOwner(xcb_connection_t *connection, const std::string &selection)
{
    const platform::XcbReply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, internAtom(connection, selection)), nullptr));
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

// Sets `property` of `window` to a list of 32-bit CARDINALs, as an owner keeps its settings.
inline void publishCardinals(xcb_connection_t *connection, xcb_window_t window, const std::string &property,
                             const std::vector<quint32> &values)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, internAtom(connection, property),
                        XCB_ATOM_CARDINAL, 32, quint32(values.size()), values.data());
    xcb_flush(connection);
}

// A client of its own that owns the selection `baseName` followed by its screen's number
// ("_NET_SYSTEM_TRAY_S" becomes "_NET_SYSTEM_TRAY_S0" on screen 0) through a window of its own.
// Each step is sent at once rather than left waiting in the client's buffer.
class X11SelectionHolder final {
public:
    explicit X11SelectionHolder(const std::string &baseName)
        : m_connection(xcb_connect(nullptr, &m_screenNumber))
    {
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < m_screenNumber; ++i)
            xcb_screen_next(&screens);
        m_root = screens.data->root;
        m_selection = internAtom(m_connection, baseName + std::to_string(m_screenNumber));
    }
    ~X11SelectionHolder() { closeClient(); }

    X11SelectionHolder(const X11SelectionHolder &) = delete;
    X11SelectionHolder &operator=(const X11SelectionHolder &) = delete;

    xcb_window_t window() const { return m_window; }

    // Takes the selection, with a window made for it if there is none yet or any more.
    void take()
    {
        if (m_window == XCB_WINDOW_NONE)
            makeWindow();
        xcb_set_selection_owner(m_connection, m_window, m_selection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

    // Tells the root window's listeners that the selection has a new owner (the MANAGER message).
    void announce()
    {
        xcb_client_message_event_t announcement{};
        announcement.response_type = XCB_CLIENT_MESSAGE;
        announcement.format = 32;
        announcement.window = m_root;
        announcement.type = internAtom(m_connection, "MANAGER");
        announcement.data.data32[0] = XCB_CURRENT_TIME;
        announcement.data.data32[1] = m_selection;
        announcement.data.data32[2] = m_window;
        xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&announcement));
        xcb_flush(m_connection);
    }

    // Keeps settings in a property of the window, as 32-bit CARDINALs; after take().
    void publish(const std::string &property, const std::vector<quint32> &values)
    {
        publishCardinals(m_connection, m_window, property, values);
    }

    // Gives the selection up the way an owner that quits tidily does.
    void destroyWindow()
    {
        xcb_destroy_window(m_connection, std::exchange(m_window, XCB_WINDOW_NONE));
        xcb_flush(m_connection);
    }

    // The client goes, with its window still standing: the server ends both.
    void closeClient()
    {
        if (m_connection)
            xcb_disconnect(std::exchange(m_connection, nullptr));
    }

private:
    void makeWindow()
    {
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    }

    int m_screenNumber = 0;
    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
};

} // namespace vantora::testing
