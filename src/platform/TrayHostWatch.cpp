#include "platform/TrayHostWatch.h"

#include "platform/x11/X11SelectionOwner.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace vantora::platform {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

TrayHostWatch::TrayHostWatch(const QByteArray &displayName, QObject *parent) : QObject(parent)
{
    // An XEmbed tray owns the screen's tray selection while it runs.
    m_xembed = X11SelectionOwner::open(displayName, "_NET_SYSTEM_TRAY_S");
    if (m_xembed)
        connect(m_xembed.get(), &X11SelectionOwner::ownerChanged, this, &TrayHostWatch::changed);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto *watch = new QDBusServiceWatcher(watcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watch, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) { setWatcher(!newOwner.isEmpty()); });
    // Watchers tell of hosts by their own signals, some only by the property's change.
    for (const QString &signal : {QStringLiteral("StatusNotifierHostRegistered"), QStringLiteral("StatusNotifierHostUnregistered")})
        bus.connect(watcherService, watcherPath, watcherInterface, signal, this, SLOT(askWatcherForHost()));
    bus.connect(watcherService, watcherPath, propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                SLOT(askWatcherForHost()));
    if (const QDBusConnectionInterface *busInterface = bus.interface())
        m_statusNotifierWatcher = busInterface->isServiceRegistered(watcherService).value();
    if (m_statusNotifierWatcher)
        askWatcherForHost();
}

void TrayHostWatch::setWatcher(bool present)
{
    m_statusNotifierWatcher = present;
    // A new watcher is taken at its word until it answers: a tray that shows at once is the
    // common case, and the window a watcher without a host calls for can come a moment later.
    m_hostRegistered = true;
    Q_EMIT changed();
    if (present)
        askWatcherForHost();
}

void TrayHostWatch::askWatcherForHost()
{
    QDBusMessage get = QDBusMessage::createMethodCall(watcherService, watcherPath, propertiesInterface, QStringLiteral("Get"));
    get << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    const quint64 question = ++m_question;
    auto *answer = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this, answer, question] {
        answer->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *answer;
        if (question != m_question || !m_statusNotifierWatcher)
            return;
        // A watcher that cannot say is believed to have a host, as the toolkit believes it.
        setHostRegistered(reply.isError() || reply.value().variant().toBool());
    });
}

void TrayHostWatch::setHostRegistered(bool registered)
{
    if (m_hostRegistered == registered)
        return;
    m_hostRegistered = registered;
    Q_EMIT changed();
}

TrayHostWatch::~TrayHostWatch() = default;

bool TrayHostWatch::xembedTray() const
{
    return m_xembed && m_xembed->owner() != 0;
}

} // namespace vantora::platform
