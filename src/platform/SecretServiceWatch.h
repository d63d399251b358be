#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>

namespace vantora::platform {

// Tells when a Secret Service (a keyring) takes its name on the session bus: a keyring the
// person installs or starts while the application runs; and when one of its collections
// is unlocked, in whatever program the person did it. It listens for the bus's own
// announcement of the name's new owner and for the service's own news of a changed
// collection; nothing is polled. Without a session bus it never tells anything.
class SecretServiceWatch final : public QObject {
    Q_OBJECT
public:
    explicit SecretServiceWatch(const QDBusConnection &bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

Q_SIGNALS:
    // A service took the name; it may still be starting up, but it answers calls now.
    void appeared();
    // A collection changed and is unlocked now (it may have been before: a changed item
    // tells too).
    void unlocked();

private Q_SLOTS:
    void collectionChanged(const QDBusObjectPath &collection);

private:
    QDBusConnection m_bus;
};

} // namespace vantora::platform
