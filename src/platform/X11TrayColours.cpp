#include "platform/X11TrayColours.h"

#include "platform/X11Connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace vantora::platform {

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *connection, const std::string &name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, quint16(name.size()), name.data());
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

X11TrayColours::X11TrayColours(const QByteArray &displayName)
    : m_connection(X11Connection::open(displayName))
{
}

X11TrayColours::~X11TrayColours() = default;

std::optional<X11Colour> X11TrayColours::foreground() const
{
    if (!m_connection || m_connection->hasFailed())
        return std::nullopt;
    xcb_connection_t *connection = m_connection->raw();
    const xcb_atom_t selection =
        atom(connection, "_NET_SYSTEM_TRAY_S" + std::to_string(m_connection->screenNumber()));
    const xcb_atom_t colours = atom(connection, "_NET_SYSTEM_TRAY_COLORS");
    if (selection == XCB_ATOM_NONE || colours == XCB_ATOM_NONE)
        return std::nullopt;
    const ReplyPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr), &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return std::nullopt;
    // Foreground, error, warning and success colours, each as red, green, blue. A tray that
    // goes away between the two requests leaves an error in place of the reply.
    xcb_generic_error_t *error = nullptr;
    const ReplyPtr<xcb_get_property_reply_t> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, owner->owner, colours, XCB_ATOM_CARDINAL, 0, 12),
                               &error),
        &std::free);
    std::free(error);
    if (!property || property->format != 32 || xcb_get_property_value_length(property.get()) < int(3 * 4))
        return std::nullopt;
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(property.get()));
    return X11Colour{quint16(values[0]), quint16(values[1]), quint16(values[2])};
}

} // namespace vantora::platform
