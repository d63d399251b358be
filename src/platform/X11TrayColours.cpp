#include "platform/X11TrayColours.h"

#include "platform/X11Connection.h"

#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
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

X11TrayColours::X11TrayColours(const QByteArray &displayName, QObject *parent)
    : QObject(parent)
    , m_connection(X11Connection::open(displayName))
{
    if (!m_connection)
        return;
    xcb_connection_t *connection = m_connection->raw();
    m_selectionAtom = atom(connection, "_NET_SYSTEM_TRAY_S" + std::to_string(m_connection->screenNumber()));
    m_coloursAtom = atom(connection, "_NET_SYSTEM_TRAY_COLORS");
    m_managerAtom = atom(connection, "MANAGER");
    // A tray that starts announces itself to the root window's structure listeners.
    const quint32 rootEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, m_connection->rootWindow(), XCB_CW_EVENT_MASK, &rootEvents);
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { drainEvents(); });
    watchManager();
}

X11TrayColours::~X11TrayColours() = default;

quint32 X11TrayColours::watchManager()
{
    xcb_connection_t *connection = m_connection->raw();
    const ReplyPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, m_selectionAtom), nullptr),
        &std::free);
    const quint32 manager = owner ? owner->owner : quint32(XCB_WINDOW_NONE);
    if (manager != m_manager && manager != XCB_WINDOW_NONE) {
        const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, manager, XCB_CW_EVENT_MASK, &events);
        xcb_flush(connection);
    }
    m_manager = manager;
    // Waiting for the reply may have queued events the socket notifier will not see.
    QTimer::singleShot(0, this, [this] { drainEvents(); });
    return manager;
}

std::optional<X11Colour> X11TrayColours::foreground()
{
    if (!m_connection || m_connection->hasFailed() || m_selectionAtom == XCB_ATOM_NONE
        || m_coloursAtom == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_connection_t *connection = m_connection->raw();
    const quint32 manager = watchManager();
    if (manager == XCB_WINDOW_NONE)
        return std::nullopt;
    // Foreground, error, warning and success colours, each as red, green, blue. A tray that
    // goes away between the two requests leaves an error in place of the reply.
    xcb_generic_error_t *error = nullptr;
    const ReplyPtr<xcb_get_property_reply_t> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, manager, m_coloursAtom, XCB_ATOM_CARDINAL, 0, 12),
                               &error),
        &std::free);
    std::free(error);
    if (!property || property->format != 32 || xcb_get_property_value_length(property.get()) < int(3 * 4))
        return std::nullopt;
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(property.get()));
    return X11Colour{quint16(values[0]), quint16(values[1]), quint16(values[2])};
}

void X11TrayColours::drainEvents()
{
    bool asked = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection->raw())) {
        const ReplyPtr<xcb_generic_event_t> owned(event, &std::free);
        switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            asked |= notify->window == m_manager && notify->atom == m_coloursAtom;
            break;
        }
        case XCB_CLIENT_MESSAGE: {
            const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
            asked |= message->type == m_managerAtom && message->data.data32[1] == m_selectionAtom;
            break;
        }
        default:
            break;
        }
    }
    if (asked)
        Q_EMIT changed();
}

} // namespace vantora::platform
