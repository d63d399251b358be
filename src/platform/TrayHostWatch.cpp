#include "platform/TrayHostWatch.h"

#include "X11Connection.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <utility>

namespace vantora::platform {

namespace {

const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

template <typename T>
struct FreeDeleter {
    void operator()(T *pointer) const { std::free(pointer); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter<T>>;

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : XCB_ATOM_NONE;
}

} // namespace

// The owner of the screen's XEmbed tray selection. A tray that takes the selection announces
// itself with a MANAGER message on the root window; one that goes away destroys the window
// that owned it.
class TrayHostWatch::XEmbedSelection final {
public:
    XEmbedSelection(std::unique_ptr<X11Connection> connection, std::function<void()> changed)
        : m_connection(std::move(connection))
        , m_changed(std::move(changed))
        , m_selection(internAtom(raw(), "_NET_SYSTEM_TRAY_S" + QByteArray::number(m_connection->screenNumber())))
        , m_manager(internAtom(raw(), "MANAGER"))
        , m_notifier(xcb_get_file_descriptor(raw()), QSocketNotifier::Read)
    {
        const quint32 events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(raw(), m_connection->rootWindow(), XCB_CW_EVENT_MASK, &events);
        readOwner();
        QObject::connect(&m_notifier, &QSocketNotifier::activated, &m_notifier, [this] { drainEvents(); });
    }

    bool hasOwner() const { return m_owner != XCB_WINDOW_NONE; }

private:
    xcb_connection_t *raw() const { return m_connection->raw(); }

    // Reads the owner and watches its window; returns whether it changed.
    bool readOwner()
    {
        XcbReply<xcb_get_selection_owner_reply_t> reply(
            xcb_get_selection_owner_reply(raw(), xcb_get_selection_owner(raw(), m_selection), nullptr));
        const xcb_window_t owner = reply ? reply->owner : XCB_WINDOW_NONE;
        if (owner == m_owner)
            return false;
        m_owner = owner;
        if (owner != XCB_WINDOW_NONE) {
            const quint32 events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(raw(), owner, XCB_CW_EVENT_MASK, &events);
            // The owner may have gone before it was watched: then its destruction was missed,
            // and the selection now says so.
            readOwner();
        }
        return true;
    }

    void drainEvents()
    {
        if (m_connection->hasFailed()) {
            m_notifier.setEnabled(false);
            if (std::exchange(m_owner, XCB_WINDOW_NONE) != XCB_WINDOW_NONE)
                m_changed();
            return;
        }
        bool changed = false;
        while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(raw())}) {
            switch (event->response_type & 0x7f) {
            case XCB_CLIENT_MESSAGE: {
                const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event.get());
                if (message->type == m_manager && message->format == 32 && message->data.data32[1] == m_selection)
                    changed = readOwner() || changed;
                break;
            }
            case XCB_DESTROY_NOTIFY:
                if (reinterpret_cast<const xcb_destroy_notify_event_t *>(event.get())->window == m_owner)
                    changed = readOwner() || changed;
                break;
            default:
                // Errors (a window gone before it was watched) and the root's other news.
                break;
            }
        }
        if (changed)
            m_changed();
    }

    std::unique_ptr<X11Connection> m_connection;
    std::function<void()> m_changed;
    xcb_atom_t m_selection;
    xcb_atom_t m_manager;
    xcb_window_t m_owner = XCB_WINDOW_NONE;
    QSocketNotifier m_notifier;
};

TrayHostWatch::TrayHostWatch(const QByteArray &displayName, QObject *parent) : QObject(parent)
{
    if (auto connection = X11Connection::open(displayName))
        m_xembed = std::make_unique<XEmbedSelection>(std::move(connection), [this] { Q_EMIT changed(); });

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto *watch = new QDBusServiceWatcher(statusNotifierWatcher, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watch, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                m_statusNotifierWatcher = !newOwner.isEmpty();
                Q_EMIT changed();
            });
    if (const QDBusConnectionInterface *busInterface = bus.interface())
        m_statusNotifierWatcher = busInterface->isServiceRegistered(statusNotifierWatcher).value();
}

TrayHostWatch::~TrayHostWatch() = default;

bool TrayHostWatch::anyHost() const
{
    return (m_xembed && m_xembed->hasOwner()) || m_statusNotifierWatcher;
}

} // namespace vantora::platform
