#include "platform/TrayHostWatch.h"

#include "platform/X11SelectionOwner.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

namespace vantora::platform {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

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
            [this](const QString &, const QString &, const QString &newOwner) {
                m_statusNotifierWatcher = !newOwner.isEmpty();
                Q_EMIT changed();
            });
    if (const QDBusConnectionInterface *busInterface = bus.interface())
        m_statusNotifierWatcher = busInterface->isServiceRegistered(watcherService).value();
}

TrayHostWatch::~TrayHostWatch() = default;

bool TrayHostWatch::xembedTray() const
{
    return m_xembed && m_xembed->owner() != 0;
}

} // namespace vantora::platform
