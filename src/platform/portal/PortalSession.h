#pragma once

#include "platform/portal/PortalBus.h"
#include "platform/portal/PortalHotKeys.h"
#include "platform/portal/PortalIdentity.h"
#include "platform/portal/PortalKeyDaemon.h"
#include "platform/portal/PortalShortcutRecords.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <map>
#include <optional>
#include <set>
#include <variant>
#include <vector>

namespace vantora::runtime {
class NotificationCenter;
class UserDefaults;
} // namespace vantora::runtime

namespace vantora::platform {

// The portal session as one set of steps, of which one is under way at a time, with at most one
// deadline. What a step came to (its answer read, or an event: the portal gone or come, the
// session closed) is an outcome, and one table from step and outcome to the next step, in
// PortalSessionSteps.cpp, is the session's diagram: no step chooses the next itself, and an outcome
// the table has no row for is a programming error. Beside it, one row per step says what the
// step does, how its answer reads and how long it is waited for. An answer of a step no longer
// under way is dropped, but for the one a bind past its deadline may still send. What the
// desktop knows of each shortcut is in the records; the session tells them what the desktop said.
class PortalHotKeys::Session final : public QObject {
    Q_OBJECT
public:
    Session(const QDBusConnection &bus, const XkbKeyboardLayout &layout, runtime::NotificationCenter &notifications,
            runtime::UserDefaults &kept, const QString &sessionToken, PortalActionOfKeys actionOfKeys, PortalDesktop desktop,
            PortalDeadlines deadlines);
    ~Session() override;

    HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId);
    // The desktop keeps what it bound until the session it was bound in is replaced, even past
    // our end: keys let go for a while stay bound, their events dropped; a shortcut cleared is
    // let go on the desktop's side in the next round.
    void unregisterHotKey(HotKeyRef ref);
    // Keys let go of while a recording was under way are cleared only once the store says so.
    void actionsChanged();
    void installHandler(EventHandler handler) { m_handler = std::move(handler); }
    void setEventsAttached(bool attached) { m_attached = attached; }
    std::optional<DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const;

    // What is under way.
    enum class Step : quint8 {
        // No portal on the bus: the next to take the name is followed.
        noPortal,
        // Nothing, or the desktop's late answer to a bind past its deadline.
        idle,
        // The backends of a portal that went still hold our session on the path a new one would
        // take, refusing it there: they are found on the bus, and it is closed in each.
        findingBackends,
        closingOrphan,
        // Our session closes before a new one with other shortcuts: some desktops bind only the
        // list a session was created with.
        closingSession,
        // A portal not told our id yet is told it before anything else.
        tellingId,
        // Keys recorded anew, and shortcuts cleared, are forgotten where the desktop saved them:
        // GNOME's settings, then KDE's key daemon.
        forgettingSavedKeys,
        forgettingInKeyDaemon,
        creatingSession,
        listing,
        binding,
        // Which of its names Plasma's key daemon keeps our shortcuts under, then their keys.
        listingKeyDaemonActions,
        checkingKeyDaemonKeys,
        // The desktop's word on every shortcut of the round is told.
        concluding,
    };

    // What a step came to.
    enum class Outcome : quint8 {
        // Its calls were answered, or it had none to make.
        done,
        portalCame,
        portalWent,
        // No portal took the name of the one that went.
        noPortal,
        // The desktop ended our session.
        sessionClosed,
        // The shortcuts wanted differ from those the session holds, or one was cleared.
        roundWanted,
        // Only cleared: nothing to bind.
        nothingToBind,
        // The desktop opened no session.
        refused,
        holdsAll,
        lacksSome,
        // The desktop's answer to a bind, in time or late.
        answered,
        // GNOME's No bound nothing of the session: what it saved is bound again alone.
        turnedDown,
        // The bind's deadline passed: the desktop's answer may still come.
        unanswered,
        // Plasma's key daemon keeps no shortcut of ours: nothing to check with it.
        unknownToKeyDaemon,
    };

    // The table, for a test that walks it: the step that follows `step` on `outcome` (the step
    // itself where the row lets it go on), none where the table has no row; and the outcomes
    // `step` may come to, by its action, its answer or an event.
    static std::optional<Step> following(Step step, Outcome outcome);
    static std::vector<Outcome> outcomesOf(Step step);

private:
    using Serial = quint64;
    // A step's answer: its deadline passed (monostate), the replies to its bus calls, the
    // Response to its portal request, or the portal's word on our id.
    using Answer = std::variant<std::monostate, QList<QDBusMessage>, PortalResponse, PortalIdentity>;

    // How long a step waits for its answer (PortalDeadlines): until it comes, or the portal goes.
    enum class Deadline : quint8 { none, binding, services };
    // A step: what it does on entry (its calls, or its outcome at once where it needs no
    // answer), how its answer reads, its deadline, and the outcomes those come to.
    struct StepRow {
        Step step;
        std::optional<Outcome> (Session::*begin)();
        Outcome (Session::*read)(const Answer &);
        Deadline deadline;
        quint32 outcomes;
    };
    static const StepRow steps[];
    static const StepRow &rowOf(Step step);

    // One binding of the wanted shortcuts in a new session, from closing the old one to the
    // desktop's word on each; what it says of each shortcut is in its record. Kept while the
    // session lives, for a late answer to its bind.
    struct Round {
        PortalShortcuts shortcuts;
        std::set<QString> cleared;
        std::set<QString> forgotten;
        // The word on what the desktop left out.
        DesktopBinding missing = DesktopBinding::refused(DesktopBinding::Refusal::unexplained);
        // GNOME's No was met once by binding what it saved again: a second No is final.
        bool isBoundAgain = false;
        // The key daemon's name for us, and the shortcuts whose keys it is asked, in the order of the calls.
        QString keyDaemonComponent{};
        QStringList checked{};
    };
    // A bind past its deadline, whose answer the desktop may still send.
    struct LateBind {
        Serial serial;
        QPointer<PortalRequest> request;
    };

    void go(Outcome outcome);
    void take(Serial serial, const Answer &answer);

    // The steps' actions and readings, in the order of the table.
    std::optional<Outcome> waitForPortal();
    std::optional<Outcome> startRound();
    std::optional<Outcome> findBackends();
    Outcome readBackends(const Answer &answer);
    std::optional<Outcome> closeOrphan();
    Outcome readOrphanClosed(const Answer &answer);
    std::optional<Outcome> closeSession();
    Outcome readDone(const Answer &answer);
    std::optional<Outcome> tellOurId();
    Outcome readIdentity(const Answer &answer);
    std::optional<Outcome> forgetSavedKeys();
    std::optional<Outcome> forgetInKeyDaemon();
    Outcome readForgotten(const Answer &answer);
    std::optional<Outcome> createSession();
    Outcome readSession(const Answer &answer);
    std::optional<Outcome> listShortcuts();
    Outcome readHeld(const Answer &answer);
    std::optional<Outcome> bind();
    Outcome readBind(const Answer &answer);
    std::optional<Outcome> askKeyDaemonForActions();
    Outcome readKeyDaemonActions(const Answer &answer);
    std::optional<Outcome> askKeyDaemonForKeys();
    Outcome readKeyDaemonKeys(const Answer &answer);
    std::optional<Outcome> conclude();

    void onPortalWent();
    void onSessionClosed();
    void onShortcutsChanged(const DesktopTriggers &triggers);

    Outcome answerBind(const PortalResponse &response);
    Outcome leaveBindUnconfirmed();
    bool bindAgainWhatGnomeSaved();

    void request(const QString &method, const QVariantList &arguments, const QVariantMap &options);
    void callPortal(const QList<QDBusMessage> &calls);
    void callServices(const QList<QDBusMessage> &calls);
    bool isAsking() const;
    bool stopAsking();
    [[nodiscard]] bool abandonSession();
    void closeLateQuestion();
    void dropLateBind();
    void followSession(const QString &handle);
    void deliver(const HotKeyEvent &event);

    PortalBus m_bus;
    runtime::NotificationCenter &m_notifications;
    PortalShortcutRecords m_records;
    // Our token as part of object paths, which allow letters, digits and '_' only.
    const QString m_sessionToken;
    // What the portal knows us by, once registered: the token as given.
    const QString m_applicationId;
    const PortalDesktop m_desktop;
    const PortalAnswerRules m_rules;
    const PortalDeadlines m_deadlines;
    const PortalKeyDaemon m_keyDaemon;
    // The last portal told our id, and what it made of it.
    QString m_toldPortal;
    PortalIdentity m_identity = PortalIdentity::unstated;
    // The portal left the bus, and none has given its word on our shortcuts since.
    bool m_isPortalGone = false;
    // The session of a portal that went, while it is closed in the backends, and the calls that close it.
    QString m_orphaned;
    QList<QDBusMessage> m_orphanCloses;

    Step m_step = Step::noPortal;
    // Counts the steps: an answer carries the serial of the step it answers.
    Serial m_serial = 0;
    QTimer m_deadline;
    // The request of the step under way.
    QPointer<PortalRequest> m_request;
    Round m_round;
    std::optional<LateBind> m_lateBind;
    // Runs while the desktop is asked to bind; once it expires the desktop is asking the user.
    QTimer m_askingTimer;
    QTimer m_wantedTimer;

    EventHandler m_handler;
    bool m_attached = false;
    // Shortcut ids held down, with the hot key their press went to.
    std::map<QString, quint32> m_held;
};

} // namespace vantora::platform
