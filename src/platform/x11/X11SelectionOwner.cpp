#include "platform/x11/X11SelectionOwner.h"

#include "platform/x11/X11Connection.h"

#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace vantora::platform {

std::unique_ptr<X11SelectionOwner> X11SelectionOwner::open(const QByteArray &displayName,
                                                           const QByteArray &screenSelection)
{
    auto connection = X11Connection::open(displayName);
    if (!connection)
        return nullptr;
    xcb_connection_t *raw = connection->raw();
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(raw, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return nullptr;
    // The server takes XFixes requests only from a client that told it its version.
    const XcbReply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
        raw, xcb_xfixes_query_version(raw, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr));
    const xcb_atom_t selection =
        connection->internAtom(screenSelection + QByteArray::number(connection->screenNumber()));
    if (!version || selection == XCB_ATOM_NONE)
        return nullptr;

    // Listening first, then asking: an owner that comes or goes in between is still told.
    xcb_xfixes_select_selection_input(raw, connection->rootWindow(), selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(raw, xcb_get_selection_owner(raw, selection), nullptr));
    if (!owner)
        return nullptr;

    std::unique_ptr<X11SelectionOwner> watch(
        new X11SelectionOwner(std::move(connection), selection, xfixes->first_event));
    watch->m_owner = owner->owner;
    // Events that came while waiting for the replies are queued already; the descriptor
    // will not tell of them. Those the server sent after its answer are the newer word.
    watch->readEvents();
    return watch;
}

X11SelectionOwner::X11SelectionOwner(std::unique_ptr<X11Connection> connection, quint32 selection,
                                     quint8 xfixesFirstEvent)
    : m_connection(std::move(connection))
    , m_selection(selection)
    , m_xfixesFirstEvent(xfixesFirstEvent)
    , m_notifier(xcb_get_file_descriptor(m_connection->raw()), QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &X11SelectionOwner::readEvents);
}

X11SelectionOwner::~X11SelectionOwner() = default;

bool X11SelectionOwner::hasFailed() const
{
    return m_connection->hasFailed();
}

void X11SelectionOwner::watchOwnerProperty(const QByteArray &property)
{
    m_property = m_connection->internAtom(property);
    readEventsLater();
    watchProperty(m_owner);
}

void X11SelectionOwner::watchProperty(quint32 window)
{
    if (m_property == XCB_ATOM_NONE || window == XCB_WINDOW_NONE)
        return;
    // A window already gone answers with an error, read and dropped with the events; its
    // owner's end comes as a selection event of its own.
    const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection->raw(), window, XCB_CW_EVENT_MASK, &events);
    xcb_flush(m_connection->raw());
}

std::vector<quint32> X11SelectionOwner::ownerCardinals(quint32 count)
{
    if (m_owner == XCB_WINDOW_NONE || m_property == XCB_ATOM_NONE || hasFailed())
        return {};
    xcb_connection_t *raw = m_connection->raw();
    // An owner that went away since it was last heard of leaves no reply, and an error that
    // is read and dropped with the events.
    const XcbReply<xcb_get_property_reply_t> property(xcb_get_property_reply(
        raw, xcb_get_property(raw, 0, m_owner, m_property, XCB_ATOM_CARDINAL, 0, count), nullptr));
    readEventsLater();
    if (!property || property->format != 32)
        return {};
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(property.get()));
    return std::vector<quint32>(values, values + xcb_get_property_value_length(property.get()) / 4);
}

void X11SelectionOwner::readEventsLater()
{
    // Waiting for a reply queues the events that came meanwhile, and the descriptor will not
    // tell of them. Read on a later turn: the caller is often a slot of our own signals.
    QTimer::singleShot(0, this, &X11SelectionOwner::readEvents);
}

void X11SelectionOwner::readEvents()
{
    xcb_connection_t *raw = m_connection->raw();
    const quint32 before = m_owner;
    bool propertyChanged = false;
    while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(raw)}) {
        const quint8 type = event->response_type & 0x7f;
        if (type == m_xfixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event.get());
            if (notify->selection != m_selection)
                continue;
            m_owner = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER ? notify->owner
                                                                                        : xcb_window_t(XCB_WINDOW_NONE);
            watchProperty(m_owner);
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
            propertyChanged |= notify->window == m_owner && notify->atom == m_property;
        }
    }
    if (hasFailed()) {
        m_notifier.setEnabled(false);
        m_owner = XCB_WINDOW_NONE;
    }
    if (m_owner != before)
        Q_EMIT ownerChanged();
    else if (propertyChanged)
        Q_EMIT ownerPropertyChanged();
}

} // namespace vantora::platform
