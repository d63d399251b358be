#include "platform/portal/PortalKeyDaemon.h"

#include <QCoreApplication>
#include <QDBusReply>

#include <algorithm>

namespace vantora::platform {

namespace {

QDBusMessage keyDaemonCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/kglobalaccel"),
                                                       QStringLiteral("org.kde.KGlobalAccel"), method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    return call;
}

} // namespace

PortalKeyDaemon::PortalKeyDaemon(QString sessionToken, QString applicationId)
    : m_sessionToken(std::move(sessionToken))
    , m_applicationId(std::move(applicationId))
{
}

QList<QDBusMessage> PortalKeyDaemon::forgetCalls(const std::set<QString> &ids, PortalIdentity identity) const
{
    QList<QDBusMessage> calls;
    for (const QString &id : ids) {
        for (const QString &component : components(identity))
            calls.append(keyDaemonCall(QStringLiteral("unregister"), {component, id}));
    }
    return calls;
}

QList<QDBusMessage> PortalKeyDaemon::actionsCalls(PortalIdentity identity) const
{
    QList<QDBusMessage> calls;
    for (const QString &component : components(identity))
        calls.append(
            keyDaemonCall(QStringLiteral("allActionsForComponent"), {QStringList{component, QString(), QString(), QString()}}));
    return calls;
}

std::optional<PortalKeyDaemon::Ours> PortalKeyDaemon::ours(const QList<QDBusMessage> &replies, PortalIdentity identity) const
{
    const QStringList names = components(identity);
    for (qsizetype i = 0; i < replies.size() && i < names.size(); ++i) {
        const QDBusReply<QList<QStringList>> reply(replies[i]);
        const QList<QStringList> actions = reply.isValid() ? reply.value() : QList<QStringList>();
        if (actions.isEmpty())
            continue;
        const QString launcher = QCoreApplication::applicationName();
        Ours found{names[i], {}, {}};
        for (const QStringList &actionId : actions) {
            found.ids.insert(actionId.value(1));
            // An empty name of the action leaves the one the portal gave it.
            if (actionId.size() == 4 && actionId[2] != launcher)
                found.renames.append(keyDaemonCall(QStringLiteral("doRegister"),
                                                   {QStringList{actionId[0], actionId[1], launcher, QString()}}));
        }
        return found;
    }
    return std::nullopt;
}

QList<QDBusMessage> PortalKeyDaemon::keysCalls(const QString &component, const QStringList &ids)
{
    QList<QDBusMessage> calls;
    for (const QString &id : ids)
        calls.append(keyDaemonCall(QStringLiteral("shortcut"), {QStringList{component, id, QString(), QString()}}));
    return calls;
}

std::set<QString> PortalKeyDaemon::taken(const QList<QDBusMessage> &replies, const QStringList &ids)
{
    std::set<QString> taken;
    for (qsizetype i = 0; i < replies.size() && i < ids.size(); ++i) {
        const QDBusReply<QList<int>> reply(replies[i]);
        const QList<int> keys = reply.isValid() ? reply.value() : QList<int>{-1};
        if (std::all_of(keys.begin(), keys.end(), [](int key) { return key == 0; }))
            taken.insert(ids[i]);
    }
    return taken;
}

QStringList PortalKeyDaemon::components(PortalIdentity identity) const
{
    QStringList components{m_sessionToken, QStringLiteral("token_") + m_sessionToken};
    if (identity == PortalIdentity::registered)
        components << m_applicationId << m_applicationId + QStringLiteral(".desktop");
    return components;
}

} // namespace vantora::platform
