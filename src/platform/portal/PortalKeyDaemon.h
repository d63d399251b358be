#pragma once

#include "platform/portal/PortalIdentity.h"

#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <set>

namespace vantora::platform {

// Plasma's key daemon, as our portal session meets it. Plasma's portal answers a bind with the
// keys it was asked for even where its key daemon gave them to another program first, and
// those never fire: where the daemon keeps our shortcuts, its word on their keys wins. It keeps
// them under a name made of our session token (as it does for a program without an app id: the
// token itself under Plasma 5, "token_" and the token under Plasma 6) or of the id the portal
// knows us by. It is never started for our questions. Calls and readings only: the session
// sends the calls, each reply comes back here.
class PortalKeyDaemon final {
public:
    // `sessionToken` as part of object paths; `applicationId` as the portal was told it.
    PortalKeyDaemon(QString sessionToken, QString applicationId);

    // Lets go of the actions `ids` for good, under every name of ours, rather than leaving them inactive.
    QList<QDBusMessage> forgetCalls(const std::set<QString> &ids, PortalIdentity identity) const;

    // Asks for the actions it keeps under each name of ours.
    QList<QDBusMessage> actionsCalls(PortalIdentity identity) const;
    // Where the replies to actionsCalls find our actions: the name they are under, their ids,
    // and the calls that give them our launcher's name. Plasma's portal names us by that name
    // when it opens a session but by our bare id when it binds, so its settings would list us
    // under either, depending on what happened last.
    struct Ours {
        QString component;
        std::set<QString> ids;
        QList<QDBusMessage> renames;
    };
    std::optional<Ours> ours(const QList<QDBusMessage> &replies, PortalIdentity identity) const;

    // Asks for the keys of each of `ids` under `component`, in their order.
    static QList<QDBusMessage> keysCalls(const QString &component, const QStringList &ids);
    // Of `ids`, in the order of keysCalls, those whose keys it gave to another program (it holds none for us).
    static std::set<QString> taken(const QList<QDBusMessage> &replies, const QStringList &ids);

private:
    QStringList components(PortalIdentity identity) const;

    QString m_sessionToken;
    QString m_applicationId;
};

} // namespace vantora::platform
