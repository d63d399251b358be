#include "PortalIdentity.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QVariantMap>

namespace vantora::platform {

namespace {

// The portal's reason, as plain text of bounded length.
QString plainReason(QString text)
{
    constexpr qsizetype longestReason = 200;
    text.truncate(longestReason);
    text.removeIf([](QChar c) { return !c.isPrint(); });
    return text;
}

} // namespace

PortalIdentity registerWithPortal(const QDBusConnection &bus, const QString &applicationId)
{
    if (!bus.isConnected())
        return PortalIdentity::unstated;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    call.setArguments({applicationId, QVariantMap()});
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return PortalIdentity::registered;
    switch (QDBusError(reply).type()) {
    // No portal, or one without the registry.
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::NoReply:
    case QDBusError::Timeout:
        return PortalIdentity::unstated;
    default:
        qWarning("vantora: the desktop portal does not know this program as %s: %s", qPrintable(applicationId),
                 qPrintable(plainReason(reply.errorMessage())));
        return PortalIdentity::refused;
    }
}

} // namespace vantora::platform
