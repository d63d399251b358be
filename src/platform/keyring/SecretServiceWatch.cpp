#include "platform/keyring/SecretServiceWatch.h"

#include <QDBusServiceWatcher>

namespace vantora::platform {
namespace {

const QString serviceName = QStringLiteral("org.freedesktop.secrets");
const QString lockedProperty = QStringLiteral("Locked");

} // namespace

SecretServiceWatch::SecretServiceWatch(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
{
    auto *watch = new QDBusServiceWatcher(serviceName, bus, QDBusServiceWatcher::WatchForRegistration, this);
    connect(watch, &QDBusServiceWatcher::serviceRegistered, this, &SecretServiceWatch::appeared);
    // Every collection's object, whatever its path: the service names the lock among a
    // collection's changed properties only when it changes.
    QDBusConnection(bus).connect(serviceName, QString(), QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"), this,
                                 SLOT(propertiesChanged(QString, QVariantMap)));
}

void SecretServiceWatch::propertiesChanged(const QString &interface, const QVariantMap &changed)
{
    const auto locked = changed.constFind(lockedProperty);
    if (interface == QLatin1String("org.freedesktop.Secret.Collection") && locked != changed.constEnd()
        && !locked->toBool())
        Q_EMIT unlocked();
}

} // namespace vantora::platform
