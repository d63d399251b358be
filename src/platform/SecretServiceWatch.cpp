#include "SecretServiceWatch.h"

#include <QDBusServiceWatcher>

namespace vantora::platform {

SecretServiceWatch::SecretServiceWatch(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
{
    auto *watch = new QDBusServiceWatcher(QStringLiteral("org.freedesktop.secrets"), bus,
                                          QDBusServiceWatcher::WatchForRegistration, this);
    connect(watch, &QDBusServiceWatcher::serviceRegistered, this, &SecretServiceWatch::appeared);
}

} // namespace vantora::platform
