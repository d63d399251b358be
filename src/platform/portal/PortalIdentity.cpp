#include "platform/portal/PortalIdentity.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <QVariantMap>

#include <limits>

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

PortalIdentity identityAnswered(const QDBusMessage &reply, const QString &applicationId)
{
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
    case QDBusError::Disconnected:
        return PortalIdentity::unstated;
    default:
        qWarning("vantora: the desktop portal does not know this program as %s: %s", qPrintable(applicationId),
                 qPrintable(plainReason(reply.errorMessage())));
        return PortalIdentity::refused;
    }
}

} // namespace

void tellPortalOurId(const QDBusConnection &bus, const QString &portal, const QString &applicationId, QObject *context,
                     std::function<void(PortalIdentity)> told)
{
    QDBusMessage call = QDBusMessage::createMethodCall(portal, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                       QStringLiteral("org.freedesktop.host.portal.Registry"),
                                                       QStringLiteral("Register"));
    call.setArguments({applicationId, QVariantMap()});
    auto *answer = new QDBusPendingCallWatcher(bus.asyncCall(call, std::numeric_limits<int>::max()), context);
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, context,
                     [answer, applicationId, told = std::move(told)] {
                         answer->deleteLater();
                         told(identityAnswered(answer->reply(), applicationId));
                     });
}

} // namespace vantora::platform
