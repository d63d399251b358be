#pragma once

#include "platform/portal/PortalAnswerRules.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <chrono>
#include <functional>
#include <limits>
#include <map>
#include <memory>

namespace vantora::platform {

// The portal's name on the bus.
inline const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");

// libdbus's timeout for a call that waits until it is answered, or its callee leaves the bus.
inline constexpr int untilAnswered = std::numeric_limits<int>::max();

// One entry of the portal's shortcut lists: an id and its properties.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcuts = QList<PortalShortcut>;

// The keys a shortcut is offered with, in the desktop's text (see xdgShortcutTrigger).
QString preferredTrigger(const PortalShortcut &shortcut);

// The desktop's words for the keys of our shortcuts, by shortcut id.
using DesktopTriggers = std::map<QString, QString>;

// The desktop's words for the triggers a list of the portal's reports; a malformed list reads as empty.
DesktopTriggers reportedTriggers(const QVariant &shortcuts);

// Where a Response that opened a session says the session is; empty where it does not.
QString sessionHandleOf(const QVariantMap &results);

// The Response to a portal request; the code portalResponse::none where the call failed.
struct PortalResponse {
    uint code = portalResponse::none;
    QVariantMap results;
};

// One request to the portal, followed for its Response for as long as it lives.
class PortalRequest final : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(const PortalResponse &)>;

    PortalRequest(const QDBusConnection &bus, const QString &path, Answer answer, QObject *parent);

    // Where the request is answered, the last path followed: portals older than handle tokens
    // answer on a path of their own choosing.
    void follow(const QString &path);
    const QString &path() const { return m_path; }
    // Hands on a failed call as the request's answer.
    void fail();

public Q_SLOTS:
    // Any Response on the path: one whose arguments cannot be read is a failure, not a silence.
    void onResponse(const QDBusMessage &message);

private:
    QDBusConnection m_bus;
    Answer m_answer;
    QString m_path;
};

// The bus as our portal session meets it: the calls to the desktop's shortcut portal and to the
// services beside it, and the portal's signals about our session.
//
// The portal is followed by its unique name: one that takes the name from another hears nothing
// meant for the one that went. Calls to the portal wait for its answer however long it takes
// (a loaded machine, a slow start at login): no clock turns a slow answer into a refusal.
// They end only with the portal: once it leaves the bus, or another takes its place, its calls
// and requests are dropped and their answers never run.
class PortalBus final : public QObject {
    Q_OBJECT
public:
    using Replies = std::function<void(const QList<QDBusMessage> &)>;

    // Asks the bus at once who has the portal's name (portalCame follows).
    explicit PortalBus(const QDBusConnection &bus, QObject *parent = nullptr);
    // Closes the session followed; not waited for, and the desktop ends it anyway once we leave
    // the bus.
    ~PortalBus() override;

    QDBusConnection connection() const { return m_bus; }
    // The portal's unique name; empty while none is on the bus.
    const QString &portal() const { return m_portal; }
    // What lives as long as the calls to the portal of now, and goes with it.
    QObject *portalContext() const { return m_portalContext.get(); }

    // Calls `method` of the portal's shortcut interface with `arguments`, then `options` with
    // `token` as its handle token. `answer` gets the request's Response, or a failure where the
    // call fails; the request is dropped with the portal, or where it is deleted first.
    QPointer<PortalRequest> request(const QString &method, QVariantList arguments, QVariantMap options,
                                    const QString &token, PortalRequest::Answer answer);
    // Withdraws a request, which ends the desktop's window for it where the desktop follows that.
    void withdraw(const PortalRequest *request);

    // Sends `calls` to the portal; `replies` gets their replies in the order of the calls, once
    // all are in, or on the next turn where there are none.
    void callPortal(const QList<QDBusMessage> &calls, Replies replies);
    // The same for services beside the portal (the desktop's key daemon, the backends of a portal
    // that went), each of which may hang: a call unanswered by `deadline` replies as failed.
    void callServices(const QList<QDBusMessage> &calls, std::chrono::milliseconds deadline, Replies replies);

    // Follows the desktop's word on the session at `handle`, and on no other; none where empty.
    void followSession(const QString &handle);
    const QString &session() const { return m_session; }
    // Where the portal opens a session asked for with `token`: the same for every session of ours.
    QString sessionPath(const QString &token) const;
    // A call of our session's, Close for one.
    QDBusMessage sessionCall(const QString &method) const;

Q_SIGNALS:
    // A portal took the name where none had it (portal() names it).
    void portalCame();
    // The portal left the bus, or another took its place (portal() names it, or is empty).
    void portalWent();
    // A key of the followed session went down or up.
    void activated(const QString &shortcutId);
    void deactivated(const QString &shortcutId);
    // Keys of the followed session changed in the desktop's settings.
    void shortcutsChanged(const DesktopTriggers &triggers);
    // The desktop ended the followed session.
    void sessionClosed();

private Q_SLOTS:
    void onActivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &);
    void onDeactivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &);
    void onShortcutsChanged(const QDBusMessage &message);
    void onSessionClosed(const QDBusMessage &message);

private:
    void takeOwner(const QString &oldOwner, const QString &newOwner);
    void collect(const QList<QDBusMessage> &calls, int timeout, QObject *context, Replies replies);
    QString pathOf(const QString &kind, const QString &token) const;

    QDBusConnection m_bus;
    QDBusServiceWatcher m_portalWatch;
    QString m_portal;
    std::unique_ptr<QObject> m_portalContext;
    QString m_session;
};

// The question whether the portal offers global shortcuts, and whether its reply says yes.
QDBusMessage shortcutsVersionCall();
bool offersShortcuts(const QDBusMessage &reply);

// The question for the names on the bus.
QDBusMessage busNamesCall();
// Closes the session at `orphan`, which a portal that went left behind, in every portal backend
// among the bus's `names` (the reply to busNamesCall); none where either is missing.
QList<QDBusMessage> backendCloseCalls(const QDBusMessage &names, const QString &orphan);

} // namespace vantora::platform

Q_DECLARE_METATYPE(vantora::platform::PortalShortcut)
