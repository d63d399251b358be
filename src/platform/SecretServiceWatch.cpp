#include "SecretServiceWatch.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace vantora::platform {
namespace {

const QString serviceName = QStringLiteral("org.freedesktop.secrets");
const QString collectionInterface = QStringLiteral("org.freedesktop.Secret.Collection");

} // namespace

SecretServiceWatch::SecretServiceWatch(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    auto *watch = new QDBusServiceWatcher(serviceName, bus, QDBusServiceWatcher::WatchForRegistration, this);
    connect(watch, &QDBusServiceWatcher::serviceRegistered, this, &SecretServiceWatch::appeared);
    // Said by the service on every change of a collection, its lock state included.
    m_bus.connect(serviceName, QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("org.freedesktop.Secret.Service"),
                  QStringLiteral("CollectionChanged"), this, SLOT(collectionChanged(QDBusObjectPath)));
}

void SecretServiceWatch::collectionChanged(const QDBusObjectPath &collection)
{
    QDBusMessage get = QDBusMessage::createMethodCall(serviceName, collection.path(),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << collectionInterface << QStringLiteral("Locked");
    auto *answer = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> locked = *call;
        if (locked.isValid() && !locked.value().variant().toBool())
            Q_EMIT unlocked();
    });
}

} // namespace vantora::platform
