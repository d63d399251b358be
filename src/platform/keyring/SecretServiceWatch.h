#pragma once

#include <QDBusConnection>
#include <QObject>

namespace vantora::platform {

// Tells when a Secret Service (a keyring) takes its name on the session bus: a keyring the
// person installs or starts while the application runs; and when one of its collections
// is unlocked, in whatever program the person did it. It listens for the bus's own
// announcement of the name's new owner and for the service's own news of a collection's
// changed lock; nothing is polled. Without a session bus it never tells anything.
class SecretServiceWatch final : public QObject {
    Q_OBJECT
public:
    explicit SecretServiceWatch(const QDBusConnection &bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

Q_SIGNALS:
    // A service took the name; it may still be starting up, but it answers calls now.
    void appeared();
    // A locked collection was unlocked.
    void unlocked();

private Q_SLOTS:
    void propertiesChanged(const QString &interface, const QVariantMap &changed);
};

} // namespace vantora::platform
