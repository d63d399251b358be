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
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>

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

// The Response codes of a portal request.
constexpr uint responseSuccess = 0;
constexpr uint responseCancelled = 1;
constexpr uint responseFailed = 2;

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

// Waits for the one Response of a portal request, hands it on and goes. A request still
// unanswered at its deadline is answered as failed: a portal that hangs must not hold every
// later request back.
class ResponseWatch final : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(uint response, const QVariantMap &results)>;

    ResponseWatch(Answer answer, std::chrono::milliseconds deadline, QObject *parent)
        : QObject(parent)
        , m_answer(std::move(answer))
    {
        QTimer::singleShot(deadline, this, [this] { this->answer(responseFailed, {}); });
    }

    void answer(uint response, const QVariantMap &results)
    {
        if (!m_answer)
            return;
        // Taken first: the answer may start the next request.
        const Answer answer = std::exchange(m_answer, {});
        deleteLater();
        answer(response, results);
    }

public Q_SLOTS:
    void onResponse(uint response, const QVariantMap &results) { answer(response, results); }

private:
    Answer m_answer;
};

} // namespace

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
        , m_deadlines(deadlines)
        , m_portalWatch(portalService, m_bus, QDBusServiceWatcher::WatchForOwnerChange)
    {
        m_askingTimer.setSingleShot(true);
        m_askingTimer.setInterval(askingAfter);
        connect(&m_askingTimer, &QTimer::timeout, this, [this] {
            m_isAsking = true;
            m_notifications.post(desktopTriggersDidChange);
        });
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
        // A portal that leaves (a crash, an upgrade) has forgotten our session and every
        // request asked of it; what the desktop saved, it still holds, so asking the next one
        // again asks nobody twice. A portal that comes where there was none may be the one
        // the bus starts for the request under way, which it answers.
        connect(&m_portalWatch, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                    m_isPortalPresent = !newOwner.isEmpty();
                    // A new portal knows nothing of us; one the bus starts for our telling of
                    // it hears it before it answers.
                    m_isIdTold = false;
                    if (!oldOwner.isEmpty())
                        return followNewPortal();
                    if (m_isPortalPresent && !m_isBinding)
                        scheduleBinding();
                });
    }

    // Not waited for: the desktop ends the session itself once we leave the bus.
    ~Session() override
    {
        if (!m_sessionHandle.isEmpty())
            m_bus.asyncCall(QDBusMessage::createMethodCall(portalService, m_sessionHandle, sessionInterface,
                                                            QStringLiteral("Close")));
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
        // Keys the user turned down are asked for again once registered anew after being let
        // go: recorded again.
        const PortalAction action = actionOf(carbonKeyCode, carbonModifiers, *trigger);
        if (const auto said = m_reported.find(action.id); said != m_reported.end() && !registrationOf(action.id)
            && said->second.trigger == *trigger && said->second.binding == DesktopBinding::refused(Refusal::cancelled)) {
            m_reported.erase(said);
            m_offered.erase(action.id);
        }
        const HotKeyRef ref = m_nextRef++;
        m_registrations.emplace(ref, Registration{hotKeyId, carbonKeyCode, carbonModifiers, *trigger, action});
        scheduleBinding();
        return {HotKeyRegistration::Status::registered, ref};
    }

    // The desktop keeps what it bound until the session it was bound in is replaced, even
    // past our end, so nothing is asked of it here; events of shortcuts no longer registered
    // are dropped.
    void unregisterHotKey(HotKeyRef ref) { m_registrations.erase(ref); }

    void installHandler(EventHandler handler) { m_handler = std::move(handler); }
    void setEventsAttached(bool attached) { m_attached = attached; }

    std::optional<DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
    {
        const auto trigger = xdgShortcutTrigger(carbonKeyCode, carbonModifiers, m_layout);
        if (!trigger)
            return std::nullopt;
        const QString id = shortcutIdOf(carbonKeyCode, carbonModifiers, *trigger);
        // What the desktop said of an action's earlier keys says nothing of its new ones.
        const auto offered = m_offered.find(id);
        if (m_isAsking && offered != m_offered.end() && offered->second == *trigger)
            return DesktopBinding::asking();
        const auto reported = m_reported.find(id);
        if (reported == m_reported.end() || reported->second.trigger != *trigger)
            return std::nullopt;
        return reported->second.binding;
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

    // The keys changed in the desktop's settings: what fires now is what the page shows.
    void onShortcutsChanged(const QDBusMessage &message)
    {
        const QVariantList arguments = message.arguments();
        if (arguments.size() != 2 || arguments[0].value<QDBusObjectPath>().path() != m_sessionHandle ||
            m_sessionHandle.isEmpty())
            return;
        bool changed = false;
        for (const auto &[id, words] : reportedTriggers(arguments[1])) {
            const auto offered = m_offered.find(id);
            if (offered == m_offered.end())
                continue;
            m_reported[id] = {offered->second, words.isEmpty() ? DesktopBinding::refused(Refusal::unexplained)
                                                               : boundAsWorded(offered->second, words)};
            changed = true;
        }
        if (changed)
            m_notifications.post(desktopTriggersDidChange);
    }

    // The desktop ended our session (its settings were reset, it closed it for its own
    // reasons): a new one takes the shortcuts again.
    void onSessionClosed(const QDBusMessage &)
    {
        startOver();
        scheduleBinding();
    }

private:
    using Generation = quint64;

    struct Registration {
        quint32 hotKeyId = 0;
        quint32 carbonKeyCode = 0;
        quint32 carbonModifiers = 0;
        QString trigger;
        // How the desktop lists it, as last offered.
        PortalAction action;
    };
    // The desktop's word on the keys it was last offered for a shortcut id.
    struct Reported {
        QString trigger;
        DesktopBinding binding;
    };
    using Answer = ResponseWatch::Answer;
    using Refusal = DesktopBinding::Refusal;

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

    // Registrations come in bursts (both shortcuts at start, one out and one in after a
    // recording): they are bound together on the next turn.
    void scheduleBinding()
    {
        if (m_isBindingScheduled)
            return;
        m_isBindingScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_isBindingScheduled = false;
            bindWanted();
        });
    }

    // Why a new session for new keys: some desktops bind only the list a session was created
    // with. Each action keeps one id whatever its keys, so the desktop lists it once; the
    // desktop keeps the keys of an id once it has saved them, whatever a later bind asks, so an
    // action recorded anew is first forgotten where the desktop saved it (GNOME's settings,
    // KDE's key daemon).
    // The ids left out are no longer ours: their presses are dropped.
    void bindWanted()
    {
        if (m_isBinding)
            return;
        // Keys may have come to an action since they were registered.
        for (auto &[ref, registration] : m_registrations)
            registration.action = actionOf(registration.carbonKeyCode, registration.carbonModifiers, registration.trigger);
        const PortalShortcuts shortcuts = wantedShortcuts();
        const bool offeredAlready = std::all_of(shortcuts.begin(), shortcuts.end(), [this](const PortalShortcut &shortcut) {
            const auto offered = m_offered.find(shortcut.id);
            return offered != m_offered.end() && offered->second == preferredTrigger(shortcut);
        });
        if (shortcuts.isEmpty() || offeredAlready)
            return;
        m_isBinding = true;
        // Recorded anew in this run: offered before with other keys.
        std::set<QString> recorded;
        for (const PortalShortcut &shortcut : shortcuts) {
            const auto offered = m_offered.find(shortcut.id);
            if (offered != m_offered.end() && offered->second != preferredTrigger(shortcut))
                recorded.insert(shortcut.id);
        }
        m_offered.clear();
        for (const PortalShortcut &shortcut : shortcuts)
            m_offered[shortcut.id] = preferredTrigger(shortcut);
        // A desktop may refuse a session on the path of one it has not closed yet.
        closeSessionThen([this, shortcuts, recorded, generation = m_generation] {
            if (generation != m_generation)
                return;
            tellOurIdThen([this, shortcuts, recorded, generation] {
                if (m_identity == PortalIdentity::registered)
                    forgetGnomeShortcuts(m_applicationId, recorded);
                forgetInKeyDaemon(recorded, keyDaemonComponents(), [this, shortcuts, recorded, generation] {
                    if (generation == m_generation)
                        createSession(shortcuts, recorded);
                });
            });
        });
    }

    // Before the first request to each portal: the desktop binds shortcuts for a program it
    // knows by its id, and names them by it.
    void tellOurIdThen(std::function<void()> then)
    {
        if (m_isIdTold)
            return then();
        tellPortalOurId(m_bus, m_applicationId, m_deadlines.other, this,
                        [this, then = std::move(then), generation = m_generation](PortalIdentity identity) {
                            if (generation != m_generation)
                                return;
                            m_identity = identity;
                            m_isIdTold = true;
                            if (identity == PortalIdentity::registered)
                                qInfo("vantora: the desktop's shortcut portal knows this program as %s",
                                      qPrintable(m_applicationId));
                            then();
                        });
    }

    void createSession(const PortalShortcuts &shortcuts, const std::set<QString> &recorded)
    {
        const QVariantMap options{{QStringLiteral("session_handle_token"), m_sessionToken},
                                  // Desktops that bind only at creation read the list here.
                                  {QStringLiteral("shortcuts"), QVariant::fromValue(shortcuts)}};
        request(QStringLiteral("CreateSession"), {}, options, [this, shortcuts, recorded](uint response, const QVariantMap &results) {
            setSessionHandle(response == responseSuccess ? sessionHandle(results) : QString());
            if (m_sessionHandle.isEmpty())
                return finishBinding({}, refusalFor(response));
            bindWhatIsNotHeld(shortcuts, recorded);
        });
    }

    // The names the desktop's key daemon may keep our shortcuts under (see checkWithKeyDaemon).
    QStringList keyDaemonComponents() const
    {
        QStringList components{m_sessionToken, QStringLiteral("token_") + m_sessionToken};
        if (m_identity == PortalIdentity::registered)
            components << m_applicationId << m_applicationId + QStringLiteral(".desktop");
        return components;
    }

    // Asks the key daemon to forget `ids` under every name it may keep them by, then goes on;
    // without a key daemon nothing is kept there.
    void forgetInKeyDaemon(const std::set<QString> &ids, const QStringList &components, std::function<void()> then)
    {
        auto outstanding = std::make_shared<int>(1);
        const auto done = [outstanding, then] {
            if (--*outstanding == 0)
                then();
        };
        for (const QString &id : ids) {
            for (const QString &component : components) {
                QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"),
                                                                   QStringLiteral("/kglobalaccel"),
                                                                   QStringLiteral("org.kde.KGlobalAccel"),
                                                                   QStringLiteral("unregister"));
                call.setArguments({component, id});
                call.setAutoStartService(false);
                ++*outstanding;
                auto *forgotten = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
                connect(forgotten, &QDBusPendingCallWatcher::finished, this, [forgotten, done] {
                    forgotten->deleteLater();
                    done();
                });
            }
        }
        done();
    }

    // What the desktop holds for this session already (saved from an earlier run) is not asked
    // for again: a start with nothing new opens nothing on the desktop.
    void bindWhatIsNotHeld(const PortalShortcuts &shortcuts, const std::set<QString> &recorded)
    {
        const QVariant session = QVariant::fromValue(QDBusObjectPath(m_sessionHandle));
        request(QStringLiteral("ListShortcuts"), {session}, {},
                [this, shortcuts, session, recorded](uint response, const QVariantMap &results) {
                    const auto held = response == responseSuccess
                        ? reportedTriggers(results.value(QStringLiteral("shortcuts")))
                        : std::map<QString, QString>();
                    const bool holdsAll = std::all_of(m_offered.begin(), m_offered.end(), [&](const auto &offered) {
                        const auto entry = held.find(offered.first);
                        return entry != held.end() && !entry->second.isEmpty() && !recorded.contains(offered.first);
                    });
                    if (holdsAll)
                        return checkWithKeyDaemon(held);
                    m_askingTimer.start();
                    request(QStringLiteral("BindShortcuts"), {session, QVariant::fromValue(shortcuts), QString()}, {},
                            [this](uint response, const QVariantMap &results) {
                                m_askingTimer.stop();
                                m_isAsking = false;
                                // The shortcuts bound count, whatever the code: GNOME 48 answers
                                // "failed" together with the shortcut it bound.
                                const auto bound = reportedTriggers(results.value(QStringLiteral("shortcuts")));
                                if (response != responseSuccess && bound.empty())
                                    return finishBinding({}, refusalOfBind(response));
                                checkWithKeyDaemon(bound);
                            });
                });
    }

    // Only what the portal says: a person's No is its "cancelled" code, and how long an
    // answer took tells nothing (a loaded machine, a slow first start of the desktop's
    // settings). A portal that does not know our id refuses for that.
    Refusal refusalFor(uint response) const
    {
        if (response == responseCancelled)
            return Refusal::cancelled;
        return m_identity == PortalIdentity::refused ? Refusal::noApplicationId : Refusal::unexplained;
    }

    // What GNOME's "failed" with nothing bound means: the person's No (see PortalDesktop).
    Refusal refusalOfBind(uint response) const
    {
        const Refusal refusal = refusalFor(response);
        return refusal == Refusal::unexplained && m_desktop == PortalDesktop::gnome ? Refusal::cancelled : refusal;
    }

    // Plasma's portal answers with the keys it was asked for even where its key daemon gave
    // them to another program first, and those never fire. Where that daemon keeps our
    // shortcuts under a name made of our session token (as it does for a program without an
    // app id: the token itself under Plasma 5, "token_" and the token under Plasma 6) or of the
    // id the portal knows us by, its word on their keys wins; it is not started for the question.
    void checkWithKeyDaemon(const std::map<QString, QString> &reported)
    {
        checkWithKeyDaemon(reported, keyDaemonComponents());
    }

    void checkWithKeyDaemon(std::map<QString, QString> reported, QStringList components)
    {
        if (components.isEmpty())
            return finishBinding(reported, Refusal::unexplained);
        const QString component = components.takeFirst();
        const auto daemonCall = [this, component](const QString &method, const QString &action) {
            QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"),
                                                               QStringLiteral("/kglobalaccel"),
                                                               QStringLiteral("org.kde.KGlobalAccel"), method);
            call.setArguments({QStringList{component, action, QString(), QString()}});
            call.setAutoStartService(false);
            return m_bus.asyncCall(call);
        };
        auto *actions = new QDBusPendingCallWatcher(daemonCall(QStringLiteral("allActionsForComponent"), {}), this);
        connect(actions, &QDBusPendingCallWatcher::finished, this,
                [this, actions, daemonCall, reported, components, generation = m_generation] {
            actions->deleteLater();
            if (generation != m_generation)
                return;
            const QDBusPendingReply<QList<QStringList>> known = *actions;
            std::set<QString> ours;
            for (const QStringList &actionId : known.isError() ? QList<QStringList>() : known.value())
                ours.insert(actionId.value(1));
            if (ours.empty())
                return checkWithKeyDaemon(reported, components);
            nameUsInKeyDaemon(known.value());
            auto checked = std::make_shared<std::map<QString, QString>>(reported);
            auto outstanding = std::make_shared<int>(1);
            const auto done = [this, checked, outstanding, generation = m_generation] {
                if (--*outstanding == 0 && generation == m_generation)
                    finishBinding(*checked, Refusal::keysTaken);
            };
            for (const auto &[id, trigger] : reported) {
                if (trigger.isEmpty() || !ours.contains(id))
                    continue;
                ++*outstanding;
                auto *keys = new QDBusPendingCallWatcher(daemonCall(QStringLiteral("shortcut"), id), this);
                connect(keys, &QDBusPendingCallWatcher::finished, this, [keys, checked, done, id = id] {
                    keys->deleteLater();
                    const QDBusPendingReply<QList<int>> reply = *keys;
                    const QList<int> bound = reply.isError() ? QList<int>{-1} : reply.value();
                    if (std::all_of(bound.begin(), bound.end(), [](int key) { return key == 0; }))
                        (*checked)[id].clear();
                    done();
                });
            }
            done();
        });
    }

    // Plasma's portal names us in its key daemon by our launcher's name when it opens a
    // session but by our bare id when it binds, so its settings would list us under either,
    // depending on what happened last: the daemon is told the launcher's name, which is ours.
    void nameUsInKeyDaemon(const QList<QStringList> &actionIds)
    {
        const QString name = QCoreApplication::applicationName();
        for (const QStringList &actionId : actionIds) {
            if (actionId.size() != 4 || actionId[2] == name)
                continue;
            QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"),
                                                               QStringLiteral("/kglobalaccel"),
                                                               QStringLiteral("org.kde.KGlobalAccel"),
                                                               QStringLiteral("doRegister"));
            // An empty name of the action leaves the one the portal gave it.
            call.setArguments({QStringList{actionId[0], actionId[1], name, QString()}});
            call.setAutoStartService(false);
            m_bus.asyncCall(call);
        }
    }

    static QString sessionHandle(const QVariantMap &results)
    {
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        if (handle.metaType() == QMetaType::fromType<QDBusObjectPath>())
            return handle.value<QDBusObjectPath>().path();
        return handle.metaType() == QMetaType::fromType<QString>() ? handle.toString() : QString();
    }

    // What the desktop said for every combination offered; one it left out or bound to no
    // keys is refused, for `reason`.
    void finishBinding(const std::map<QString, QString> &reported, Refusal reason)
    {
        for (const auto &[id, trigger] : m_offered) {
            const auto entry = reported.find(id);
            const bool bound = entry != reported.end() && !entry->second.isEmpty();
            m_reported[id] = {trigger, bound ? boundAsWorded(trigger, entry->second) : DesktopBinding::refused(reason)};
        }
        m_isBinding = false;
        m_notifications.post(desktopTriggersDidChange);
        bindWanted();
    }

    // The keys the desktop's `words` name: those offered where they are among them (a desktop
    // may list several), else the first it names; unknown keys where nothing can be read.
    static DesktopBinding boundAsWorded(const QString &offered, const QString &words)
    {
        const QStringList triggers = readDesktopTriggers(words);
        if (triggers.isEmpty())
            return DesktopBinding::boundToUnknownKeys();
        const auto ours = portableTextOfXdgTrigger(offered);
        return DesktopBinding::boundTo(ours && triggers.contains(*ours) ? *ours : triggers.constFirst());
    }

    // Calls `method` of the portal with `arguments` and then `options` (given a handle token
    // of ours), and hands the Request's Response to `answer`; a call the portal refuses or
    // leaves unanswered past its deadline is answered as failed. A request of a portal since
    // gone (see startOver) is never answered.
    void request(const QString &method, QVariantList arguments, QVariantMap options, Answer answer)
    {
        const QString token = QStringLiteral("vantora%1").arg(++m_requestCount);
        options.insert(QStringLiteral("handle_token"), token);
        // Subscribed before the call: the Response may come before the call's reply.
        const QString path = requestPath(token);
        // Binding may wait for a person's answer in the desktop's window.
        const auto deadline = method == QLatin1String("BindShortcuts") ? m_deadlines.binding : m_deadlines.other;
        auto *watch = new ResponseWatch(
            [this, answer = std::move(answer), generation = m_generation](uint response, const QVariantMap &results) {
                if (generation == m_generation)
                    answer(response, results);
            },
            deadline, this);
        m_bus.connect(portalService, path, requestInterface, QStringLiteral("Response"), watch,
                      SLOT(onResponse(uint, QVariantMap)));
        arguments.append(options);
        QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
        call.setArguments(arguments);
        auto *reply = new QDBusPendingCallWatcher(m_bus.asyncCall(call), watch);
        connect(reply, &QDBusPendingCallWatcher::finished, watch, [this, reply, watch, path] {
            reply->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> handle = *reply;
            if (handle.isError()) {
                watch->answer(responseFailed, {});
                return;
            }
            // Portals older than handle tokens answer on a path of their own choosing.
            if (handle.value().path() != path) {
                m_bus.connect(portalService, handle.value().path(), requestInterface, QStringLiteral("Response"),
                              watch, SLOT(onResponse(uint, QVariantMap)));
            }
        });
    }

    QString requestPath(const QString &token) const
    {
        QString sender = m_bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    }

    // Closes the session, and once the desktop has answered (or let the deadline pass, or
    // left), goes on with `then`.
    void closeSessionThen(std::function<void()> then)
    {
        if (m_sessionHandle.isEmpty())
            return then();
        const QDBusMessage close = QDBusMessage::createMethodCall(portalService, m_sessionHandle, sessionInterface,
                                                                  QStringLiteral("Close"));
        setSessionHandle({});
        m_held.clear();
        auto *closed = new QDBusPendingCallWatcher(m_bus.asyncCall(close, int(m_deadlines.other.count())), this);
        connect(closed, &QDBusPendingCallWatcher::finished, this, [closed, then = std::move(then)] {
            closed->deleteLater();
            then();
        });
    }

    // Follows the desktop's word on the session at `handle`, and on no other.
    void setSessionHandle(const QString &handle)
    {
        if (!m_sessionHandle.isEmpty()) {
            m_bus.disconnect(portalService, m_sessionHandle, sessionInterface, QStringLiteral("Closed"), this,
                             SLOT(onSessionClosed(QDBusMessage)));
        }
        m_sessionHandle = handle;
        if (!m_sessionHandle.isEmpty()) {
            m_bus.connect(portalService, m_sessionHandle, sessionInterface, QStringLiteral("Closed"), this,
                          SLOT(onSessionClosed(QDBusMessage)));
        }
    }

    // The desktop's backend outlives the portal and still holds our session at the path the
    // next portal would create it on again, refusing it there: it is closed in every backend
    // first, and the shortcuts bound again once a portal is there.
    void followNewPortal()
    {
        const QString orphaned = m_sessionHandle;
        startOver();
        m_isBinding = true;
        closeInBackends(orphaned, [this, generation = m_generation] {
            if (generation != m_generation)
                return;
            m_isBinding = false;
            if (m_isPortalPresent)
                scheduleBinding();
        });
    }

    void closeInBackends(const QString &session, std::function<void()> then)
    {
        if (session.isEmpty())
            return then();
        const QDBusMessage listNames = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"));
        auto *names = new QDBusPendingCallWatcher(m_bus.asyncCall(listNames, int(m_deadlines.other.count())), this);
        connect(names, &QDBusPendingCallWatcher::finished, this, [this, names, session, then] {
            names->deleteLater();
            const QDBusPendingReply<QStringList> reply = *names;
            auto outstanding = std::make_shared<int>(1);
            const auto done = [outstanding, then] {
                if (--*outstanding == 0)
                    then();
            };
            for (const QString &name : reply.isError() ? QStringList() : reply.value()) {
                if (!name.startsWith(QLatin1String("org.freedesktop.impl.portal.desktop.")))
                    continue;
                QDBusMessage close = QDBusMessage::createMethodCall(
                    name, session, QStringLiteral("org.freedesktop.impl.portal.Session"), QStringLiteral("Close"));
                close.setAutoStartService(false);
                ++*outstanding;
                auto *closed = new QDBusPendingCallWatcher(m_bus.asyncCall(close, int(m_deadlines.other.count())), this);
                connect(closed, &QDBusPendingCallWatcher::finished, this, [closed, done] {
                    closed->deleteLater();
                    done();
                });
            }
            done();
        });
    }

    // Forgets the session and ends the request under way, without an answer: the portal that
    // held them is gone, or ended the session itself. What the desktop said stays shown until
    // it says otherwise; a question it was asking is no longer asked.
    void startOver()
    {
        ++m_generation;
        setSessionHandle({});
        m_held.clear();
        m_offered.clear();
        m_isBinding = false;
        m_askingTimer.stop();
        if (std::exchange(m_isAsking, false))
            m_notifications.post(desktopTriggersDidChange);
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
    PortalIdentity m_identity = PortalIdentity::unstated;
    const PortalDesktop m_desktop;
    // Whether the portal now on the bus has been told our id.
    bool m_isIdTold = false;
    const PortalDeadlines m_deadlines;
    QDBusServiceWatcher m_portalWatch;
    bool m_isPortalPresent = false;
    // Counts the portal's sessions: an answer of an earlier one is dropped.
    Generation m_generation = 0;
    std::map<HotKeyRef, Registration> m_registrations;
    HotKeyRef m_nextRef = 1;
    EventHandler m_handler;
    bool m_attached = false;
    bool m_isBindingScheduled = false;
    bool m_isBinding = false;
    // The keys last offered, by shortcut id.
    std::map<QString, QString> m_offered;
    // What the desktop said, by shortcut id.
    std::map<QString, Reported> m_reported;
    // Runs while the desktop is asked to bind; once it expires the desktop is asking the user.
    QTimer m_askingTimer;
    bool m_isAsking = false;
    QString m_sessionHandle;
    // Shortcut ids held down, with the hot key their press went to.
    std::map<QString, quint32> m_held;
    quint64 m_requestCount = 0;
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

bool PortalHotKeys::isOffered(const QDBusConnection &bus)
{
    return offersShortcuts(bus.call(shortcutsVersionQuery(), QDBus::Block, 5000));
}

void PortalHotKeys::whenOffered(const QDBusConnection &bus, QObject *context, std::function<void()> offered)
{
    auto *answer = new QDBusPendingCallWatcher(bus.asyncCall(shortcutsVersionQuery()), context);
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, context, [answer, offered = std::move(offered)] {
        answer->deleteLater();
        if (offersShortcuts(answer->reply()))
            offered();
    });
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

std::optional<DesktopBinding> PortalHotKeys::desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
{
    return m_session->desktopBinding(carbonKeyCode, carbonModifiers);
}

} // namespace vantora::platform

#include "PortalHotKeys.moc"
