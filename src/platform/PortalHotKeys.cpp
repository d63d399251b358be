#include "PortalHotKeys.h"

#include "DesktopTriggerWords.h"
#include "GnomeShortcutSettings.h"
#include "PortalIdentity.h"
#include "XdgShortcutTrigger.h"

#include "runtime/NotificationCenter.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <variant>

namespace vantora::platform {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");

// The longest description of the desktop's we read: a sentence around a few triggers, not a story.
constexpr qsizetype longestTrigger = 256;
// A desktop that binds at once answers within a few tens of milliseconds; one still silent
// after this is asking the user.
constexpr auto askingAfter = std::chrono::milliseconds(500);


// One entry of the portal's shortcut lists: an id and its properties.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcuts = QList<PortalShortcut>;

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// A string from the bus, as plain text of bounded length; anything else reads as empty.
QString plainText(const QVariant &value)
{
    QVariant current = value;
    while (current.metaType() == QMetaType::fromType<QDBusVariant>())
        current = current.value<QDBusVariant>().variant();
    if (current.metaType() != QMetaType::fromType<QString>())
        return {};
    QString text = current.toString().left(longestTrigger);
    text.removeIf([](QChar c) { return !c.isPrint(); });
    return text.trimmed();
}

// The desktop's words for the triggers it reports, by shortcut id; a malformed list reads as empty.
std::map<QString, QString> reportedTriggers(const QVariant &shortcuts)
{
    std::map<QString, QString> triggers;
    if (shortcuts.metaType() != QMetaType::fromType<QDBusArgument>())
        return triggers;
    const auto argument = shortcuts.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(sa{sv})"))
        return triggers;
    PortalShortcuts list;
    argument >> list;
    for (const PortalShortcut &entry : list)
        triggers[entry.id] = plainText(entry.properties.value(QStringLiteral("trigger_description")));
    return triggers;
}

// Tokens become part of object paths, which allow letters, digits and '_' only.
QString objectPathElement(QString token)
{
    for (QChar &c : token) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80))
            c = QLatin1Char('_');
    }
    return token;
}

} // namespace

} // namespace vantora::platform

Q_DECLARE_METATYPE(vantora::platform::PortalShortcut)

namespace vantora::platform {

namespace {

// Hands on each Response of a portal request for as long as it lives.
class ResponseWatch final : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(uint response, const QVariantMap &results)>;

    ResponseWatch(const QDBusConnection &bus, const QString &path, Answer answer, QObject *parent)
        : QObject(parent)
        , m_bus(bus)
        , m_answer(std::move(answer))
    {
        follow(path);
    }

    void follow(const QString &path)
    {
        m_path = path;
        m_bus.connect(portalService, path, requestInterface, QStringLiteral("Response"), this,
                      SLOT(onResponse(uint, QVariantMap)));
    }

    // Where the request is answered, the last path followed.
    const QString &path() const { return m_path; }

public Q_SLOTS:
    void onResponse(uint response, const QVariantMap &results)
    {
        // A copy: the answer may replace this watch.
        const Answer answer = m_answer;
        answer(response, results);
    }

private:
    QDBusConnection m_bus;
    Answer m_answer;
    QString m_path;
};

} // namespace

// The portal session as one set of steps, of which one is under way at a time, with at most
// one deadline. Every event (an answer to the step, its deadline, the portal gone or back, the
// desktop closing the session or changing keys, shortcuts registered or let go) goes through
// take(); what a step came to goes to next(), the one place that says which step follows. An
// answer of a step no longer under way is dropped, but for the one a bind past its deadline
// may still send. What the desktop knows of each shortcut id is one Record.
class PortalHotKeys::Session final : public QObject {
    Q_OBJECT
public:
    Session(const QDBusConnection &bus, const XkbKeyboardLayout &layout, runtime::NotificationCenter &notifications,
            const QString &sessionToken, PortalActionOfKeys actionOfKeys, PortalDesktop desktop,
            PortalDeadlines deadlines)
        : m_bus(bus)
        , m_layout(layout)
        , m_notifications(notifications)
        , m_actionOfKeys(std::move(actionOfKeys))
        , m_sessionToken(objectPathElement(sessionToken))
        , m_applicationId(sessionToken)
        , m_desktop(desktop)
        , m_rules(desktop)
        , m_deadlines(deadlines)
        , m_portalWatch(portalService, m_bus, QDBusServiceWatcher::WatchForOwnerChange)
    {
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] { take(DeadlinePassed{m_serial}); });
        m_askingTimer.setSingleShot(true);
        m_askingTimer.setInterval(askingAfter);
        connect(&m_askingTimer, &QTimer::timeout, this, [this] { m_notifications.post(desktopTriggersDidChange); });
        // Registrations come in bursts (both shortcuts at start, one out and one in after a
        // recording): they are taken together on the next turn.
        m_wantedTimer.setSingleShot(true);
        m_wantedTimer.setInterval(0);
        connect(&m_wantedTimer, &QTimer::timeout, this, [this] { take(ShortcutsWanted{}); });
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<PortalShortcuts>();
        qDBusRegisterMetaType<QList<QStringList>>();
        qRegisterMetaType<QDBusObjectPath>();
        // Broadcast to every client of the portal: each handler looks at the session first.
        m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                      SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Deactivated"), this,
                      SLOT(onDeactivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("ShortcutsChanged"), this,
                      SLOT(onShortcutsChanged(QDBusMessage)));
        connect(&m_portalWatch, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                    take(PortalOwnerChanged{oldOwner, newOwner});
                });
        QDBusMessage owner = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                            QStringLiteral("/org/freedesktop/DBus"),
                                                            QStringLiteral("org.freedesktop.DBus"),
                                                            QStringLiteral("GetNameOwner"));
        owner.setArguments({portalService});
        auto *answer = new QDBusPendingCallWatcher(m_bus.asyncCall(owner, int(m_deadlines.other.count())), this);
        connect(answer, &QDBusPendingCallWatcher::finished, this, [this, answer] {
            answer->deleteLater();
            const QDBusPendingReply<QString> name = *answer;
            if (!name.isError())
                take(PortalOwnerChanged{{}, name.value()});
        });
    }

    // Not waited for: the desktop ends the session itself once we leave the bus.
    ~Session() override
    {
        if (!m_sessionHandle.isEmpty())
            m_bus.asyncCall(sessionCall(QStringLiteral("Close")));
    }

    HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
    {
        const auto trigger = xdgShortcutTrigger(carbonKeyCode, carbonModifiers, m_layout);
        if (!trigger) {
            constexpr quint32 carbonFunction = 0x20000;
            return {carbonModifiers & carbonFunction ? HotKeyRegistration::Status::unsupportedModifier
                                                     : HotKeyRegistration::Status::noSuchKey,
                    0};
        }
        // Keys turned down, or left unanswered past the bind's deadline, are asked about again
        // once recorded anew: registered under a hot key of its own after the old one was let
        // go. Let go and registered again under the same one (a menu open, a recording under
        // way) they are not: the question may still be open in the desktop's window.
        const PortalAction action = actionOf(carbonKeyCode, carbonModifiers, *trigger);
        Record &record = m_shortcuts[action.id];
        if (!registrationOf(action.id) && record.hotKeyId != hotKeyId && record.word && record.word->trigger == *trigger
            && (record.word->binding == DesktopBinding::refused(Refusal::cancelled)
                || record.word->binding.state == DesktopBinding::State::unconfirmed))
            record = {};
        record.hotKeyId = hotKeyId;
        const HotKeyRef ref = m_nextRef++;
        m_registrations.emplace(ref, Registration{hotKeyId, carbonKeyCode, carbonModifiers, *trigger, action});
        m_wantedTimer.start();
        return {HotKeyRegistration::Status::registered, ref};
    }

    // The desktop keeps what it bound until the session it was bound in is replaced, even
    // past our end: keys let go for a while stay bound, their events dropped; a shortcut
    // cleared is let go on the desktop's side in the next round (see startRound).
    void unregisterHotKey(HotKeyRef ref)
    {
        if (m_registrations.erase(ref) != 0)
            m_wantedTimer.start();
    }

    // Keys let go of while a recording was under way are cleared only once the store says so.
    void actionsChanged() { m_wantedTimer.start(); }

    void installHandler(EventHandler handler) { m_handler = std::move(handler); }
    void setEventsAttached(bool attached) { m_attached = attached; }

    std::optional<DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
    {
        const auto trigger = xdgShortcutTrigger(carbonKeyCode, carbonModifiers, m_layout);
        if (!trigger)
            return std::nullopt;
        const auto record = m_shortcuts.find(shortcutIdOf(carbonKeyCode, carbonModifiers, *trigger));
        if (record == m_shortcuts.end())
            return std::nullopt;
        if (m_isPortalGone)
            return DesktopBinding::serviceGone();
        if (isAsking() && record->second.question == Question::open && record->second.offered == *trigger)
            return DesktopBinding::asking();
        // What the desktop said of an action's earlier keys says nothing of its new ones.
        const std::optional<Word> &word = record->second.word;
        if (!word || word->trigger != *trigger)
            return std::nullopt;
        return word->binding;
    }

private Q_SLOTS:
    void onActivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &)
    {
        if (session.path() != m_sessionHandle)
            return;
        const auto registration = registrationOf(shortcutId);
        // Activated again while held: the desktop repeating the key.
        if (!registration || m_held.contains(shortcutId))
            return;
        m_held.emplace(shortcutId, *registration);
        deliver({HotKeyEvent::Kind::pressed, *registration});
    }

    void onDeactivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &)
    {
        if (session.path() != m_sessionHandle)
            return;
        if (auto held = m_held.extract(shortcutId))
            deliver({HotKeyEvent::Kind::released, held.mapped()});
    }

    void onShortcutsChanged(const QDBusMessage &message)
    {
        const QVariantList arguments = message.arguments();
        if (arguments.size() == 2 && !m_sessionHandle.isEmpty()
            && arguments[0].value<QDBusObjectPath>().path() == m_sessionHandle)
            take(ShortcutsChanged{reportedTriggers(arguments[1])});
    }

    void onSessionClosed(const QDBusMessage &) { take(SessionClosed{}); }

private:
    using Serial = quint64;
    using Refusal = DesktopBinding::Refusal;

    // What is under way.
    enum class Step : quint8 {
        // No portal on the bus: the next to take the name is followed.
        noPortal,
        idle,
        // The backends of a portal that went still hold our session on the path a new one
        // would take, refusing it there: they are found on the bus, and it is closed in each.
        findingBackends,
        closingOrphan,
        // Our session closes before a new one with other shortcuts: some desktops bind only the
        // list a session was created with.
        closingSession,
        tellingId,
        // Keys recorded anew are forgotten where the desktop saved the old ones: GNOME's
        // settings, then KDE's key daemon.
        forgettingSavedKeys,
        forgettingInKeyDaemon,
        creatingSession,
        listing,
        binding,
        // Which of its names Plasma's key daemon keeps our shortcuts under, then their keys.
        listingKeyDaemonActions,
        checkingKeyDaemonKeys,
    };

    // The events, each taken in take().
    struct ShortcutsWanted {};
    struct PortalOwnerChanged {
        QString oldOwner;
        QString newOwner;
    };
    struct SessionClosed {};
    struct ShortcutsChanged {
        std::map<QString, QString> triggers;
    };
    struct DeadlinePassed {
        Serial serial;
    };
    // The replies to a step's bus calls, in the order of the calls; none where its deadline passed.
    struct Replied {
        Serial serial;
        QList<QDBusMessage> replies;
    };
    // The Response of a step's portal request; noResponse where the call failed or its deadline passed.
    struct Responded {
        Serial serial;
        uint response;
        QVariantMap results;
    };
    struct IdTold {
        Serial serial;
        PortalIdentity identity;
    };
    using Event = std::variant<ShortcutsWanted, PortalOwnerChanged, SessionClosed, ShortcutsChanged, DeadlinePassed,
                               Replied, Responded, IdTold>;

    static constexpr uint noResponse = portalResponse::none;

    // What a step came to: its deadline passed (monostate), the replies to its bus calls, the
    // Response to its portal request, or the portal's word on our id.
    struct Response {
        uint code = noResponse;
        QVariantMap results;
    };
    using Outcome = std::variant<std::monostate, QList<QDBusMessage>, Response, PortalIdentity>;

    struct Registration {
        quint32 hotKeyId = 0;
        quint32 carbonKeyCode = 0;
        quint32 carbonModifiers = 0;
        QString trigger;
        // How the desktop lists it, as last offered.
        PortalAction action;
    };
    // Where the desktop's word on a shortcut came from.
    enum class Told : quint8 {
        // Its answer to a round: what it listed, bound, left out, or let pass the deadline.
        byRound,
        // Keys it told changed on its own (in its settings, or while it asks).
        byChange,
    };
    // The desktop's word on keys offered for a shortcut id.
    struct Word {
        QString trigger;
        DesktopBinding binding;
        Told told = Told::byRound;
        // The round it was told in.
        quint64 round = 0;
    };
    // What the desktop is asked about a shortcut.
    enum class Question : quint8 {
        none,
        // In the bind under way.
        open,
        // In a bind past its deadline, whose answer the desktop may still send.
        late,
    };
    // One shortcut id of ours as the desktop knows it. Its word is set in setWord() alone.
    struct Record {
        // The keys last offered to the session, and the combination they are; empty where the
        // session was not offered it.
        QString offered;
        quint32 carbonKeyCode = 0;
        quint32 carbonModifiers = 0;
        // The hot key last registered for it: another one is keys recorded anew.
        quint32 hotKeyId = 0;
        std::optional<Word> word;
        Question question = Question::none;
    };
    // One binding of the wanted shortcuts in a new session, from closing the old one to the
    // desktop's word on each.
    struct Round {
        PortalShortcuts shortcuts;
        // Offered in this run with other keys before: recorded anew.
        std::set<QString> recorded;
        // Forgotten where the desktop saved their keys: those recorded anew, and those cleared.
        std::set<QString> forgotten;
        // What the desktop held before it was asked to bind, with its words for the keys.
        std::map<QString, QString> held;
        // What the desktop says it binds now.
        std::map<QString, QString> bound;
        // Where the key daemon gave the keys to another program first.
        std::set<QString> taken;
        // Bound with the keys offered now before the round began: saved by the desktop.
        std::set<QString> boundBefore;
        // Turned down in GNOME's window, and left out when the rest is bound again.
        std::set<QString> declined;
        // The word on what the desktop left out.
        DesktopBinding missing = DesktopBinding::refused(Refusal::unexplained);
        // The shortcuts whose keys the key daemon is asked, in the order of the calls.
        QStringList checked;
    };
    // A bind past its deadline, whose answer the desktop may still send.
    struct LateBind {
        Serial serial;
        QPointer<ResponseWatch> watch;
        Round round;
    };

    void take(const Event &event)
    {
        std::visit([this](const auto &happened) { on(happened); }, event);
    }

    void on(const ShortcutsWanted &)
    {
        if (m_step == Step::idle)
            startRound();
    }

    // A portal that leaves (a crash, an upgrade) has forgotten our session, our id and every
    // request asked of it; what the desktop saved, it still holds, so asking the next one
    // again asks nobody twice. Every call goes to the portal by its unique name, so one that
    // takes the place of another hears nothing before our id.
    void on(const PortalOwnerChanged &change)
    {
        if (change.oldOwner.isEmpty()) {
            if (!m_portal.isEmpty() || change.newOwner.isEmpty())
                return;
            m_portal = change.newOwner;
            if (m_step == Step::noPortal)
                becomeIdle();
            return;
        }
        m_orphaned = m_sessionHandle;
        // Until a portal is back, presses do nothing: the page says so.
        m_isPortalGone = change.newOwner.isEmpty();
        if (abandonSession() || m_isPortalGone)
            m_notifications.post(desktopTriggersDidChange);
        m_portal = change.newOwner;
        m_toldPortal.clear();
        enter(Step::findingBackends);
        if (m_orphaned.isEmpty())
            return collect({});
        collect({QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"))});
    }

    // The desktop ended our session (its settings were reset, it closed it for its own
    // reasons): a new one takes the shortcuts again.
    void on(const SessionClosed &)
    {
        if (m_step == Step::noPortal || m_step == Step::findingBackends || m_step == Step::closingOrphan)
            return;
        if (abandonSession())
            m_notifications.post(desktopTriggersDidChange);
        becomeIdle();
    }

    // The keys changed in the desktop's settings: what fires now is what the page shows.
    void on(const ShortcutsChanged &change)
    {
        bool changed = false;
        for (const auto &[id, words] : change.triggers) {
            const auto record = m_shortcuts.find(id);
            if (record == m_shortcuts.end() || record->second.offered.isEmpty())
                continue;
            // A change while the desktop asks the person about keys just recorded is part of the answer.
            const bool isChosen = m_step != Step::binding || isDesktopsChoice(id);
            const QString &offered = record->second.offered;
            setWord(id,
                    words.isEmpty() ? DesktopBinding::refused(Refusal::unexplained)
                                    : PortalAnswerRules::boundAsWorded(offered, words, isChosen),
                    Told::byChange);
            changed = true;
        }
        if (changed)
            m_notifications.post(desktopTriggersDidChange);
    }

    void on(const DeadlinePassed &deadline)
    {
        if (deadline.serial == m_serial)
            next(m_step, std::monostate());
    }

    void on(const Replied &replied)
    {
        if (replied.serial == m_serial)
            next(m_step, replied.replies);
    }

    void on(const Responded &responded)
    {
        if (m_lateBind && responded.serial == m_lateBind->serial && m_step == Step::idle) {
            m_round = m_lateBind->round;
            dropLateBind();
            return answerBind(responded.response, responded.results);
        }
        if (responded.serial == m_serial)
            next(m_step, Response{responded.response, responded.results});
    }

    void on(const IdTold &told)
    {
        if (told.serial == m_serial)
            next(m_step, told.identity);
    }

    // The step chain: what follows `step`, given what it came to. A deadline passed reads as
    // the step's calls unanswered (the key daemon's, closing sessions, forgetting), as our id
    // unstated, or, for a bind, as the desktop not answering yet; opening a session and
    // listing have none.
    void next(Step step, const Outcome &outcome)
    {
        const auto replies = [&outcome] {
            const auto *replies = std::get_if<QList<QDBusMessage>>(&outcome);
            return replies ? *replies : QList<QDBusMessage>();
        };
        const auto response = [&outcome] {
            const auto *response = std::get_if<Response>(&outcome);
            return response ? *response : Response();
        };
        switch (step) {
        case Step::noPortal:
        case Step::idle:
            return;
        case Step::findingBackends:
            enter(Step::closingOrphan);
            return collect(backendCloseCalls(replies().value(0)));
        case Step::closingOrphan:
            return m_portal.isEmpty() ? enter(Step::noPortal) : becomeIdle();
        case Step::closingSession:
            return tellOurIdThenForget();
        case Step::tellingId: {
            const auto *identity = std::get_if<PortalIdentity>(&outcome);
            takeIdentity(identity ? *identity : PortalIdentity::unstated);
            return forget();
        }
        case Step::forgettingSavedKeys:
            return forgetInKeyDaemon();
        case Step::forgettingInKeyDaemon:
            return createSession();
        case Step::creatingSession:
            return takeSession(response().code, response().results);
        case Step::listing:
            return takeHeld(response().code, response().results);
        case Step::binding:
            if (std::holds_alternative<std::monostate>(outcome))
                return leaveBindUnconfirmed();
            return answerBind(response().code, response().results);
        case Step::listingKeyDaemonActions:
            return checkKeysWithKeyDaemon(replies());
        case Step::checkingKeyDaemonKeys:
            return takeKeyDaemonKeys(replies());
        }
    }

    // Before the first request to each portal: the desktop binds shortcuts for a program it
    // knows by its id, and names them by it.
    void takeIdentity(PortalIdentity identity)
    {
        m_identity = identity;
        m_toldPortal = m_portal;
        if (m_identity == PortalIdentity::registered)
            qInfo("vantora: the desktop's shortcut portal knows this program as %s", qPrintable(m_applicationId));
    }

    void enter(Step step)
    {
        m_step = step;
        ++m_serial;
        // The desktop opens a session and lists what it holds when it can (a loaded machine, a
        // first start of its settings): no clock turns that into an answer. A portal that goes,
        // or ends the session, ends the wait.
        if (step == Step::idle || step == Step::noPortal || step == Step::creatingSession || step == Step::listing)
            m_deadline.stop();
        else
            m_deadline.start(step == Step::binding ? m_deadlines.binding : m_deadlines.other);
    }

    void becomeIdle()
    {
        enter(Step::idle);
        startRound();
    }

    // Each action keeps one id whatever its keys, so the desktop lists it once; the desktop
    // keeps the keys of an id once it has saved them, whatever a later bind asks, so an action
    // recorded anew is first forgotten where the desktop saved it (GNOME's settings, KDE's key
    // daemon), and so is one cleared, so that its keys are free again in every program and the
    // next keys recorded for it are asked about. The ids left out are no longer ours: their
    // presses are dropped.
    void startRound()
    {
        // Keys may have come to an action since they were registered.
        for (auto &[ref, registration] : m_registrations)
            registration.action = actionOf(registration.carbonKeyCode, registration.carbonModifiers, registration.trigger);
        const PortalShortcuts shortcuts = wantedShortcuts();
        takeKeysTheDesktopBinds(shortcuts);
        const std::set<QString> cleared = clearedShortcuts(shortcuts);
        const bool offeredAlready = std::all_of(shortcuts.begin(), shortcuts.end(), [this](const PortalShortcut &shortcut) {
            const auto record = m_shortcuts.find(shortcut.id);
            return record != m_shortcuts.end() && record->second.offered == preferredTrigger(shortcut);
        });
        if (cleared.empty() && (shortcuts.isEmpty() || offeredAlready)) {
            m_isPortalGone = false;
            return;
        }
        ++m_rounds;
        Round round;
        round.shortcuts = shortcuts;
        round.forgotten = cleared;
        for (const PortalShortcut &shortcut : shortcuts) {
            const Record &record = m_shortcuts[shortcut.id];
            if (!record.offered.isEmpty() && record.offered != preferredTrigger(shortcut)) {
                round.recorded.insert(shortcut.id);
                round.forgotten.insert(shortcut.id);
            }
            if (record.word && record.word->trigger == preferredTrigger(shortcut)
                && record.word->binding.state == DesktopBinding::State::bound)
                round.boundBefore.insert(shortcut.id);
        }
        for (const QString &id : cleared)
            m_shortcuts.erase(id);
        for (auto &[id, record] : m_shortcuts) {
            record.offered.clear();
            record.question = Question::none;
        }
        for (const PortalShortcut &shortcut : shortcuts) {
            const Registration &registration = *registrationFor(shortcut.id);
            Record &record = m_shortcuts[shortcut.id];
            record.offered = preferredTrigger(shortcut);
            record.carbonKeyCode = registration.carbonKeyCode;
            record.carbonModifiers = registration.carbonModifiers;
        }
        m_round = std::move(round);
        // The new session asks anew what a bind past its deadline asked.
        closeLateQuestion();
        bindInNewSession();
    }

    // The ids offered whose keys run them no longer and that nothing registers: the person
    // cleared them. Keys let go for a while (a menu open, a recording under way) still run
    // their action; keys turned down (stored as such, running nothing) hold nothing on the
    // desktop's side to let go of.
    std::set<QString> clearedShortcuts(const PortalShortcuts &wanted) const
    {
        std::set<QString> cleared;
        for (const auto &[id, record] : m_shortcuts) {
            const bool isWanted = std::any_of(wanted.begin(), wanted.end(),
                                              [&id = id](const PortalShortcut &shortcut) { return shortcut.id == id; });
            const bool turnedDown = record.word && record.word->binding == DesktopBinding::refused(Refusal::cancelled);
            if (!record.offered.isEmpty() && !isWanted && !turnedDown
                && actionOf(record.carbonKeyCode, record.carbonModifiers, record.offered).id != id)
                cleared.insert(id);
        }
        return cleared;
    }

    void bindInNewSession()
    {
        // A desktop may refuse a session on the path of one it has not closed yet.
        enter(Step::closingSession);
        collect(m_sessionHandle.isEmpty() ? QList<QDBusMessage>() : QList<QDBusMessage>{sessionCall(QStringLiteral("Close"))});
        setSessionHandle({});
    }

    // Keys that come to an action are those the desktop binds it to already where it chose
    // them (see DesktopBinding::isChosenByDesktop): nothing to ask it.
    void takeKeysTheDesktopBinds(const PortalShortcuts &shortcuts)
    {
        for (const PortalShortcut &shortcut : shortcuts) {
            const QString trigger = preferredTrigger(shortcut);
            const auto record = m_shortcuts.find(shortcut.id);
            if (record == m_shortcuts.end() || record->second.offered.isEmpty() || record->second.offered == trigger
                || !record->second.word)
                continue;
            const DesktopBinding binding = record->second.word->binding;
            if (binding.state == DesktopBinding::State::bound && !binding.trigger.isEmpty()
                && portableTextOfXdgTrigger(trigger) == binding.trigger) {
                const Registration &registration = *registrationFor(shortcut.id);
                record->second.offered = trigger;
                record->second.carbonKeyCode = registration.carbonKeyCode;
                record->second.carbonModifiers = registration.carbonModifiers;
                setWord(shortcut.id, DesktopBinding::boundTo(binding.trigger), record->second.word->told);
            }
        }
    }

    // The one place a shortcut's word is set: about the keys offered for it last.
    void setWord(const QString &id, const DesktopBinding &binding, Told told)
    {
        Record &record = m_shortcuts[id];
        record.word = Word{record.offered, binding, told, m_rounds};
    }

    void tellOurIdThenForget()
    {
        if (m_toldPortal == m_portal)
            return forget();
        enter(Step::tellingId);
        tellPortalOurId(m_bus, m_portal, m_applicationId, m_deadlines.other, this,
                        [this, serial = m_serial](PortalIdentity identity) { take(IdTold{serial, identity}); });
    }

    // GNOME's settings are written off the GUI thread (the settings service may be stuck);
    // a write past the step's deadline is not waited for.
    void forget()
    {
        if (m_identity != PortalIdentity::registered || m_round.forgotten.empty())
            return forgetInKeyDaemon();
        enter(Step::forgettingSavedKeys);
        forgetGnomeShortcuts(m_applicationId, m_round.forgotten, this,
                             [this, serial = m_serial] { take(Replied{serial, {}}); });
    }

    // The key daemon's verb for letting go of an action for good, rather than leaving it inactive.
    void forgetInKeyDaemon()
    {
        enter(Step::forgettingInKeyDaemon);
        QList<QDBusMessage> calls;
        for (const QString &id : m_round.forgotten) {
            for (const QString &component : keyDaemonComponents())
                calls.append(keyDaemonCall(QStringLiteral("unregister"), {component, id}));
        }
        collect(calls);
    }

    void createSession()
    {
        // Only cleared: nothing left to bind.
        if (m_round.shortcuts.isEmpty())
            return finishRound();
        enter(Step::creatingSession);
        request(QStringLiteral("CreateSession"), {},
                {{QStringLiteral("session_handle_token"), m_sessionToken},
                 // Desktops that bind only at creation read the list here.
                 {QStringLiteral("shortcuts"), QVariant::fromValue(m_round.shortcuts)}});
    }

    void takeSession(uint response, const QVariantMap &results)
    {
        setSessionHandle(response == portalResponse::success ? sessionHandle(results) : QString());
        if (m_sessionHandle.isEmpty()) {
            m_round.missing = DesktopBinding::refused(m_rules.refusalOf(response, m_identity, false));
            return finishRound();
        }
        enter(Step::listing);
        request(QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(m_sessionHandle))}, {});
    }

    // What the desktop holds for this session already (saved from an earlier run) is not asked
    // for again: a start with nothing new opens nothing on the desktop. What it holds of keys
    // recorded anew are the old keys, until it binds the new ones.
    void takeHeld(uint response, const QVariantMap &results)
    {
        if (response == portalResponse::success) {
            for (const auto &[id, words] : reportedTriggers(results.value(QStringLiteral("shortcuts")))) {
                if (!words.isEmpty() && !m_round.recorded.contains(id))
                    m_round.held[id] = words;
            }
        }
        const bool holdsAll = std::all_of(m_round.shortcuts.begin(), m_round.shortcuts.end(),
                                          [this](const PortalShortcut &shortcut) { return m_round.held.contains(shortcut.id); });
        if (holdsAll)
            return checkWithKeyDaemon();
        enter(Step::binding);
        for (const PortalShortcut &shortcut : std::as_const(m_round.shortcuts)) {
            if (!m_round.held.contains(shortcut.id))
                m_shortcuts[shortcut.id].question = Question::open;
        }
        m_askingTimer.start();
        request(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(m_sessionHandle)), QVariant::fromValue(m_round.shortcuts), QString()},
                {});
    }

    // Only the desktop's answer says no. What it held before it asked stays bound whatever it
    // answers: GNOME's window lists every shortcut of the session, and a No there is a No to
    // the shortcuts it asked about. The shortcuts it lists as bound count, whatever the code:
    // GNOME 48 answers "failed" together with the shortcut it bound.
    void answerBind(uint response, const QVariantMap &results)
    {
        stopAsking();
        closeQuestions();
        m_round.bound = reportedTriggers(results.value(QStringLiteral("shortcuts")));
        std::erase_if(m_round.bound, [](const auto &entry) { return entry.second.isEmpty(); });
        if (response == portalResponse::success)
            m_round.missing = DesktopBinding::refused(Refusal::unexplained);
        else
            m_round.missing = DesktopBinding::refused(m_rules.refusalOf(response, m_identity, m_round.bound.empty()));
        if (m_round.bound.empty() && m_round.missing == DesktopBinding::refused(Refusal::cancelled) && bindAgainWhatGnomeSaved())
            return;
        checkWithKeyDaemon();
    }

    // GNOME lists nothing of a new session before it binds, then binds the keys it saved
    // without asking and asks about the rest; a No there binds none of the session's
    // shortcuts (see PortalAnswerRules::boundAgainAfterNo). Those it saved (bound before in
    // this run with the same keys, or in its settings from an earlier one and not recorded
    // anew) are bound again alone, in a new session. Once: a second No is final.
    bool bindAgainWhatGnomeSaved()
    {
        if (!m_round.declined.empty())
            return false;
        std::set<QString> saved = m_round.boundBefore;
        if (m_desktop == PortalDesktop::gnome && m_identity == PortalIdentity::registered) {
            for (const QString &id : gnomeSavedShortcuts(m_applicationId)) {
                if (!m_round.recorded.contains(id))
                    saved.insert(id);
            }
        }
        QStringList asked;
        for (const PortalShortcut &shortcut : std::as_const(m_round.shortcuts))
            asked.append(shortcut.id);
        const std::set<QString> again = m_rules.boundAgainAfterNo(asked, saved);
        if (again.empty())
            return false;
        PortalShortcuts bound;
        for (const PortalShortcut &shortcut : std::as_const(m_round.shortcuts)) {
            if (again.contains(shortcut.id))
                bound.append(shortcut);
            else
                m_round.declined.insert(shortcut.id);
        }
        m_round.shortcuts = bound;
        m_round.bound.clear();
        bindInNewSession();
        return true;
    }

    // A person may take their time in the desktop's window (reading it with a screen reader,
    // stepping away): past the deadline the shortcuts asked about are not confirmed, and the
    // request stays followed for the desktop's late answer.
    void leaveBindUnconfirmed()
    {
        stopAsking();
        for (auto &[id, record] : m_shortcuts) {
            if (record.question == Question::open)
                record.question = Question::late;
        }
        m_lateBind = LateBind{m_serial, std::exchange(m_request, nullptr), m_round};
        m_round.missing = DesktopBinding::unconfirmed();
        finishRound();
    }

    // A bind past its deadline is withdrawn before a new session asks anew, which ends the
    // desktop's window for it where the desktop follows that; GNOME 48 leaves its window open,
    // beside the one it opens for the new question.
    void closeLateQuestion()
    {
        if (m_lateBind && m_lateBind->watch)
            m_bus.asyncCall(QDBusMessage::createMethodCall(m_portal, m_lateBind->watch->path(), requestInterface,
                                                           QStringLiteral("Close")),
                            int(m_deadlines.other.count()));
        dropLateBind();
    }

    void dropLateBind()
    {
        if (auto late = std::exchange(m_lateBind, std::nullopt); late && late->watch)
            late->watch->deleteLater();
        for (auto &[id, record] : m_shortcuts) {
            if (record.question == Question::late)
                record.question = Question::none;
        }
    }

    void closeQuestions()
    {
        for (auto &[id, record] : m_shortcuts)
            record.question = Question::none;
    }

    // Plasma's portal answers with the keys it was asked for even where its key daemon gave
    // them to another program first, and those never fire. Where that daemon keeps our
    // shortcuts under a name made of our session token (as it does for a program without an
    // app id: the token itself under Plasma 5, "token_" and the token under Plasma 6) or of the
    // id the portal knows us by, its word on their keys wins; it is not started for the question.
    void checkWithKeyDaemon()
    {
        enter(Step::listingKeyDaemonActions);
        QList<QDBusMessage> calls;
        for (const QString &component : keyDaemonComponents())
            calls.append(keyDaemonCall(QStringLiteral("allActionsForComponent"),
                                       {QStringList{component, QString(), QString(), QString()}}));
        collect(calls);
    }

    void checkKeysWithKeyDaemon(const QList<QDBusMessage> &replies)
    {
        const QStringList components = keyDaemonComponents();
        for (qsizetype i = 0; i < replies.size() && i < components.size(); ++i) {
            const QDBusReply<QList<QStringList>> reply(replies[i]);
            const QList<QStringList> actions = reply.isValid() ? reply.value() : QList<QStringList>();
            if (actions.isEmpty())
                continue;
            nameUsInKeyDaemon(actions);
            std::set<QString> ours;
            for (const QStringList &actionId : actions)
                ours.insert(actionId.value(1));
            enter(Step::checkingKeyDaemonKeys);
            m_round.checked.clear();
            QList<QDBusMessage> calls;
            for (const auto &[id, words] : wordsOfTheDesktop()) {
                if (!ours.contains(id))
                    continue;
                m_round.checked.append(id);
                calls.append(
                    keyDaemonCall(QStringLiteral("shortcut"), {QStringList{components[i], id, QString(), QString()}}));
            }
            return collect(calls);
        }
        finishRound();
    }

    void takeKeyDaemonKeys(const QList<QDBusMessage> &replies)
    {
        for (qsizetype i = 0; i < replies.size() && i < m_round.checked.size(); ++i) {
            const QDBusReply<QList<int>> reply(replies[i]);
            const QList<int> keys = reply.isValid() ? reply.value() : QList<int>{-1};
            if (std::all_of(keys.begin(), keys.end(), [](int key) { return key == 0; }))
                m_round.taken.insert(m_round.checked[i]);
        }
        finishRound();
    }

    // Plasma's portal names us in its key daemon by our launcher's name when it opens a
    // session but by our bare id when it binds, so its settings would list us under either,
    // depending on what happened last: the daemon is told the launcher's name, which is ours.
    void nameUsInKeyDaemon(const QList<QStringList> &actionIds)
    {
        const QString name = QCoreApplication::applicationName();
        for (const QStringList &actionId : actionIds) {
            // An empty name of the action leaves the one the portal gave it.
            if (actionId.size() == 4 && actionId[2] != name)
                m_bus.asyncCall(keyDaemonCall(QStringLiteral("doRegister"), {QStringList{actionId[0], actionId[1], name, QString()}}),
                                int(m_deadlines.other.count()));
        }
    }

    // The desktop's words for the keys of each shortcut of the round: what it says it binds
    // now, else what it held.
    std::map<QString, QString> wordsOfTheDesktop() const
    {
        std::map<QString, QString> words = m_round.held;
        for (const auto &[id, bound] : m_round.bound)
            words[id] = bound;
        return words;
    }

    // The desktop's word on every shortcut offered; the keys it held from before and did not
    // just bind anew are its own choice where they differ from ours. A word it told during the
    // round, where its answer has none, outlasts the round's deadline.
    void finishRound()
    {
        const std::map<QString, QString> words = wordsOfTheDesktop();
        for (const auto &[id, record] : m_shortcuts) {
            if (record.offered.isEmpty())
                continue;
            const auto said = words.find(id);
            const bool toldDuringRound = record.word && record.word->told == Told::byChange
                && record.word->round == m_rounds && record.word->trigger == record.offered;
            if (m_round.taken.contains(id))
                setWord(id, DesktopBinding::refused(Refusal::keysTaken), Told::byRound);
            else if (m_round.declined.contains(id))
                setWord(id, DesktopBinding::refused(Refusal::cancelled), Told::byRound);
            else if (said != words.end())
                setWord(id, PortalAnswerRules::boundAsWorded(record.offered, said->second, isDesktopsChoice(id)),
                        Told::byRound);
            else if (!(toldDuringRound && m_round.missing.state == DesktopBinding::State::unconfirmed))
                setWord(id, m_round.missing, Told::byRound);
        }
        m_isPortalGone = false;
        m_notifications.post(desktopTriggersDidChange);
        becomeIdle();
    }

    // Keys the desktop held before it was asked are its own; GNOME lists none before a bind
    // and names the keys it saved, for a shortcut not recorded anew.
    bool isDesktopsChoice(const QString &id) const
    {
        return m_rules.isDesktopsChoice(m_round.held.contains(id), m_round.recorded.contains(id));
    }

    bool isAsking() const { return m_step == Step::binding && !m_askingTimer.isActive(); }

    // Whether the desktop was asking the user; the answer that ends the question tells.
    bool stopAsking()
    {
        const bool wasAsking = isAsking();
        m_askingTimer.stop();
        return wasAsking;
    }

    // Forgets the session and drops what was under way, without an answer: the portal that
    // held them is gone, or ended the session itself. What the desktop said stays until it
    // says otherwise (read as the service gone while no portal is on the bus); a question it
    // was asking is no longer asked. Whether it was asking: the caller tells the page, once
    // nothing reads as asked any more.
    [[nodiscard]] bool abandonSession()
    {
        const bool wasAsking = stopAsking();
        dropLateBind();
        setSessionHandle({});
        for (auto &[id, record] : m_shortcuts) {
            record.offered.clear();
            record.question = Question::none;
        }
        m_round = {};
        return wasAsking;
    }

    // Calls `method` of the portal with `arguments` and then `options` (given a handle token
    // of ours); its Response, or noResponse where the call fails, is taken as the answer to
    // the step under way.
    void request(const QString &method, QVariantList arguments, QVariantMap options)
    {
        const QString token = QStringLiteral("vantora%1").arg(m_serial);
        options.insert(QStringLiteral("handle_token"), token);
        const Serial serial = m_serial;
        // Subscribed before the call: the Response may come before the call's reply.
        auto *watch = new ResponseWatch(
            m_bus, requestPath(token),
            [this, serial](uint response, const QVariantMap &results) { take(Responded{serial, response, results}); }, this);
        if (m_request)
            m_request->deleteLater();
        m_request = watch;
        arguments.append(options);
        QDBusMessage call = QDBusMessage::createMethodCall(m_portal, portalPath, shortcutsInterface, method);
        call.setArguments(arguments);
        auto *reply = new QDBusPendingCallWatcher(m_bus.asyncCall(call, int(m_deadlines.other.count())), watch);
        connect(reply, &QDBusPendingCallWatcher::finished, watch, [this, reply, watch, serial, path = requestPath(token)] {
            reply->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> handle = *reply;
            if (handle.isError())
                return take(Responded{serial, noResponse, {}});
            // Portals older than handle tokens answer on a path of their own choosing.
            if (handle.value().path() != path)
                watch->follow(handle.value().path());
        });
    }

    // Sends `calls`, each with the deadline of a step, and takes their replies together as
    // the answer to the step under way.
    void collect(const QList<QDBusMessage> &calls)
    {
        const Serial serial = m_serial;
        if (calls.isEmpty()) {
            QMetaObject::invokeMethod(this, [this, serial] { take(Replied{serial, {}}); }, Qt::QueuedConnection);
            return;
        }
        auto replies = std::make_shared<QList<QDBusMessage>>(calls.size());
        auto outstanding = std::make_shared<qsizetype>(calls.size());
        for (qsizetype i = 0; i < calls.size(); ++i) {
            auto *reply = new QDBusPendingCallWatcher(m_bus.asyncCall(calls[i], int(m_deadlines.other.count())), this);
            connect(reply, &QDBusPendingCallWatcher::finished, this, [this, reply, replies, outstanding, serial, i] {
                reply->deleteLater();
                (*replies)[i] = reply->reply();
                if (--*outstanding == 0)
                    take(Replied{serial, *replies});
            });
        }
    }

    QDBusMessage sessionCall(const QString &method) const
    {
        return QDBusMessage::createMethodCall(m_portal, m_sessionHandle, sessionInterface, method);
    }

    // Plasma's key daemon, never started for us.
    static QDBusMessage keyDaemonCall(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"),
                                                           QStringLiteral("/kglobalaccel"),
                                                           QStringLiteral("org.kde.KGlobalAccel"), method);
        call.setArguments(arguments);
        call.setAutoStartService(false);
        return call;
    }

    // The names the desktop's key daemon may keep our shortcuts under (see checkWithKeyDaemon).
    QStringList keyDaemonComponents() const
    {
        QStringList components{m_sessionToken, QStringLiteral("token_") + m_sessionToken};
        if (m_identity == PortalIdentity::registered)
            components << m_applicationId << m_applicationId + QStringLiteral(".desktop");
        return components;
    }

    // Closes the orphaned session in every backend among the bus's `names`.
    QList<QDBusMessage> backendCloseCalls(const QDBusMessage &names) const
    {
        const QDBusReply<QStringList> listed(names);
        QList<QDBusMessage> calls;
        if (m_orphaned.isEmpty() || !listed.isValid())
            return calls;
        for (const QString &name : listed.value()) {
            if (!name.startsWith(QLatin1String("org.freedesktop.impl.portal.desktop.")))
                continue;
            QDBusMessage close = QDBusMessage::createMethodCall(
                name, m_orphaned, QStringLiteral("org.freedesktop.impl.portal.Session"), QStringLiteral("Close"));
            close.setAutoStartService(false);
            calls.append(close);
        }
        return calls;
    }

    // Follows the desktop's word on the session at `handle`, and on no other.
    void setSessionHandle(const QString &handle)
    {
        if (!m_sessionHandle.isEmpty()) {
            m_bus.disconnect(portalService, m_sessionHandle, sessionInterface, QStringLiteral("Closed"), this,
                             SLOT(onSessionClosed(QDBusMessage)));
        }
        m_sessionHandle = handle;
        m_held.clear();
        if (!m_sessionHandle.isEmpty()) {
            m_bus.connect(portalService, m_sessionHandle, sessionInterface, QStringLiteral("Closed"), this,
                          SLOT(onSessionClosed(QDBusMessage)));
        }
    }

    PortalAction actionOf(quint32 carbonKeyCode, quint32 carbonModifiers, const QString &trigger) const
    {
        if (auto action = m_actionOfKeys ? m_actionOfKeys(carbonKeyCode, carbonModifiers) : std::nullopt)
            return *action;
        return {trigger, QCoreApplication::applicationName()};
    }

    QString shortcutIdOf(quint32 carbonKeyCode, quint32 carbonModifiers, const QString &trigger) const
    {
        for (const auto &[ref, registration] : m_registrations) {
            if (registration.trigger == trigger)
                return registration.action.id;
        }
        return actionOf(carbonKeyCode, carbonModifiers, trigger).id;
    }

    // The registration whose keys are offered for `shortcutId` (see wantedShortcuts).
    const Registration *registrationFor(const QString &shortcutId) const
    {
        const Registration *found = nullptr;
        for (const auto &[ref, registration] : m_registrations) {
            if (registration.action.id == shortcutId)
                found = &registration;
        }
        return found;
    }

    std::optional<quint32> registrationOf(const QString &shortcutId) const
    {
        for (const auto &[ref, registration] : m_registrations) {
            if (registration.action.id == shortcutId)
                return registration.hotKeyId;
        }
        return std::nullopt;
    }

    // What to offer the desktop, by shortcut id.
    PortalShortcuts wantedShortcuts() const
    {
        std::map<QString, PortalShortcut> wanted;
        for (const auto &[ref, registration] : m_registrations) {
            wanted[registration.action.id] = {registration.action.id,
                                              {{QStringLiteral("description"), registration.action.description},
                                               {QStringLiteral("preferred_trigger"), registration.trigger}}};
        }
        PortalShortcuts shortcuts;
        for (auto &[id, shortcut] : wanted)
            shortcuts.append(std::move(shortcut));
        return shortcuts;
    }

    static QString preferredTrigger(const PortalShortcut &shortcut)
    {
        return shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
    }

    static QString sessionHandle(const QVariantMap &results)
    {
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        if (handle.metaType() == QMetaType::fromType<QDBusObjectPath>())
            return handle.value<QDBusObjectPath>().path();
        return handle.metaType() == QMetaType::fromType<QString>() ? handle.toString() : QString();
    }

    QString requestPath(const QString &token) const
    {
        QString sender = m_bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    }

    void deliver(const HotKeyEvent &event)
    {
        if (m_attached && m_handler)
            m_handler(event);
    }

    QDBusConnection m_bus;
    const XkbKeyboardLayout &m_layout;
    runtime::NotificationCenter &m_notifications;
    const PortalActionOfKeys m_actionOfKeys;
    const QString m_sessionToken;
    // What the portal knows us by, once registered: the token as given.
    const QString m_applicationId;
    const PortalDesktop m_desktop;
    const PortalAnswerRules m_rules;
    const PortalDeadlines m_deadlines;
    QDBusServiceWatcher m_portalWatch;
    // The portal's unique name on the bus, and that of the last one told our id.
    QString m_portal;
    QString m_toldPortal;
    // The portal left the bus, and none has given its word on our shortcuts since.
    bool m_isPortalGone = false;
    PortalIdentity m_identity = PortalIdentity::unstated;

    Step m_step = Step::noPortal;
    // Counts the steps: an answer carries the serial of the step it answers.
    Serial m_serial = 0;
    QTimer m_deadline;
    // The request of the step under way.
    QPointer<ResponseWatch> m_request;
    Round m_round;
    std::optional<LateBind> m_lateBind;
    // Runs while the desktop is asked to bind; once it expires the desktop is asking the user.
    QTimer m_askingTimer;
    QTimer m_wantedTimer;

    std::map<HotKeyRef, Registration> m_registrations;
    HotKeyRef m_nextRef = 1;
    EventHandler m_handler;
    bool m_attached = false;
    std::map<QString, Record> m_shortcuts;
    // Counts the rounds: a word carries the round it was told in.
    quint64 m_rounds = 0;
    QString m_sessionHandle;
    // The session of a portal that went, while it is closed in the backends.
    QString m_orphaned;
    // Shortcut ids held down, with the hot key their press went to.
    std::map<QString, quint32> m_held;
};

namespace {

QDBusMessage shortcutsVersionQuery()
{
    QDBusMessage get = QDBusMessage::createMethodCall(portalService, portalPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get.setArguments({QVariant(shortcutsInterface), QVariant(QStringLiteral("version"))});
    return get;
}

bool offersShortcuts(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt() >= 1;
}

} // namespace

PortalDesktop portalDesktopOf(const QProcessEnvironment &environment)
{
    const QStringList desktops = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'));
    return desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive) ? PortalDesktop::gnome : PortalDesktop::other;
}

void PortalHotKeys::whenOffered(const QDBusConnection &bus, QObject *context, std::function<void()> offered)
{
    // A portal that is not on the bus yet (a slow login) is asked again when its name appears;
    // the watch goes once one says yes. Watched before the first question: the name may come
    // while it is asked.
    auto *watch = new QDBusServiceWatcher(portalService, bus, QDBusServiceWatcher::WatchForRegistration, context);
    auto pending = std::make_shared<std::function<void()>>(std::move(offered));
    const auto ask = [bus, watch, pending] {
        auto *answer = new QDBusPendingCallWatcher(bus.asyncCall(shortcutsVersionQuery()), watch);
        QObject::connect(answer, &QDBusPendingCallWatcher::finished, watch, [answer, watch, pending] {
            answer->deleteLater();
            if (!offersShortcuts(answer->reply()) || !*pending)
                return;
            watch->deleteLater();
            std::exchange(*pending, {})();
        });
    };
    QObject::connect(watch, &QDBusServiceWatcher::serviceRegistered, watch, ask);
    ask();
}

PortalHotKeys::PortalHotKeys(const QDBusConnection &bus, const XkbKeyboardLayout &layout,
                             runtime::NotificationCenter &notifications, const QString &sessionToken,
                             PortalActionOfKeys actionOfKeys, PortalDesktop desktop, PortalDeadlines deadlines)
    : m_session(std::make_unique<Session>(bus, layout, notifications, sessionToken, std::move(actionOfKeys), desktop,
                                          deadlines))
{
}

PortalHotKeys::~PortalHotKeys() = default;

HotKeyRegistration PortalHotKeys::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
{
    return m_session->registerHotKey(carbonKeyCode, carbonModifiers, hotKeyId);
}

void PortalHotKeys::unregisterHotKey(HotKeyRef ref)
{
    m_session->unregisterHotKey(ref);
}

bool PortalHotKeys::installHandler(EventHandler handler)
{
    m_session->installHandler(std::move(handler));
    return true;
}

void PortalHotKeys::setEventsAttached(bool attached)
{
    m_session->setEventsAttached(attached);
}

bool PortalHotKeys::isTakenByAnotherProgram(quint32, quint32)
{
    return false;
}

std::vector<SystemHotKey> PortalHotKeys::systemHotKeys()
{
    return {};
}

KeyRepeat PortalHotKeys::keyRepeat()
{
    // The desktop repeats the key itself and does not say how fast: the usual values.
    return {};
}

void PortalHotKeys::actionsChanged()
{
    m_session->actionsChanged();
}

std::optional<DesktopBinding> PortalHotKeys::desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
{
    return m_session->desktopBinding(carbonKeyCode, carbonModifiers);
}

} // namespace vantora::platform

#include "PortalHotKeys.moc"
