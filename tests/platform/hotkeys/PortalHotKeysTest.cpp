// What the shortcut portal backend makes of the desktop's answers, against a stand-in portal
// on a private session bus (with-session-bus.sh): the ways GNOME and Plasma answer a bind,
// and what the desktop already holds. The real portals are driven in the shortcuts_portal and
// GNOME Shell tests; this one reaches the answers those cannot give on demand.
#include "FakeHotKeyBackend.h"
#include "GnomeSettingsTesting.h"

#include "platform/HotKeyHandover.h"
#include "platform/portal/PortalHotKeys.h"
#include "platform/portal/PortalIdentity.h"
#include "platform/portal/PortalSession.h"
#include "platform/x11/XkbKeyboardLayout.h"
#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMetaType>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <set>

using namespace vantora;
using namespace vantora::platform;
using namespace std::chrono_literals;

namespace {

constexpr quint32 carbonK = 40, control = 0x1000, option = 0x800;

// One entry of the portal's shortcut lists, as the desktop sends it.
struct ListedShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ListedShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ListedShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(ListedShortcut)

namespace {

constexpr quint32 carbonJ = 38;
const QString ctrlAltK = QStringLiteral("CTRL+ALT+k");
// The action the test's keys run, as the desktop lists it.
const PortalAction toggleLights{QStringLiteral("toggleHomeLights"), QStringLiteral("Toggle all lights")};

// Every combination runs the one action, as a stored shortcut does.
std::optional<PortalAction> theAction(quint32, quint32)
{
    return toggleLights;
}

// GNOME's saved shortcuts, in memory for the whole program (GSettings reads its schemas once
// per process): what the backend reads and forgets there is the test's, never the person's.
class GnomeSettingsInMemory final : public ::testing::Environment {
public:
    void SetUp() override { s_ready = m_schemas.isValid() && vantora::testing::gnome::useSchema(m_schemas); }
    static bool isReady() { return s_ready; }

private:
    QTemporaryDir m_schemas;
    static inline bool s_ready = false;
};
[[maybe_unused]] const auto *const gnomeSettings = ::testing::AddGlobalTestEnvironment(new GnomeSettingsInMemory);

// How the stand-in desktop answers.
struct DesktopAnswers {
    // The shortcuts ListShortcuts reports as held, by id, with their trigger descriptions.
    QList<std::pair<QString, QString>> held{};
    uint bindResponse = 0;
    // The shortcuts the bind reply lists.
    QList<std::pair<QString, QString>> bound{};
    std::chrono::milliseconds bindDelay{0};
    std::chrono::milliseconds closeDelay{0};
    // How long the portal takes to say that it offers global shortcuts (it may be starting).
    std::chrono::milliseconds versionDelay{0};
    // What the portal's registry makes of our id.
    PortalIdentity identity = PortalIdentity::registered;
    // The bind call itself fails: no request, no answer.
    bool bindCallFails = false;
    // As GNOME 48: a new session lists nothing; a bind binds what the desktop holds and its
    // settings still save with its own keys without asking, telling them as changed first, and
    // asks the person about the rest, who answers with bindResponse and `bound` after
    // bindDelay (a No binds none of the session's shortcuts; an Add saves them).
    bool likeGnome = false;
    // How long the desktop takes to answer CreateSession and ListShortcuts.
    std::chrono::milliseconds sessionDelay{0};
    std::chrono::milliseconds listDelay{0};
    // The bind binds the keys asked for, rather than `bound`.
    bool bindsAsAsked = false;
    // How long the desktop takes to answer the binds after the first, where not bindDelay.
    std::optional<std::chrono::milliseconds> laterBindDelay{};
    // The method whose first call the portal replies to only after slowReply, with what follows
    // the reply (a Response) after it.
    QString slowMethod{};
    std::chrono::milliseconds slowReply{0};
    // The portal never says whether it offers global shortcuts (it hangs).
    bool versionUnanswered = false;
    // The method whose Response carries arguments that are not a code and results.
    QString unreadableResponseTo{};
    // The Response to CreateSession: 2 where the desktop opens no session.
    uint sessionResponse = 0;
    // A session the desktop closes takes what it bound with it.
    bool forgetsOnClose = false;
};

// GNOME's settings hold `ids` as saved for the test's application.
void saveInGnomeSettings(const QStringList &ids)
{
    QStringList saved;
    for (const QString &id : ids)
        saved.append(QStringLiteral("('%1', {'description': <'%1'>})").arg(id));
    vantora::testing::gnome::save("vantora_test", qPrintable(QStringLiteral("@a(sa{sv}) [%1]").arg(saved.join(u','))));
}

bool isSavedInGnomeSettings(const QString &id)
{
    return GnomeSettingsInMemory::isReady()
        && vantora::testing::gnome::saved("vantora_test").contains(QLatin1Char('\'') + id + QLatin1Char('\''));
}

// GNOME that saved Ctrl+Alt+K for the action in an earlier run, and whose person adds
// Ctrl+Alt+J when asked.
DesktopAnswers gnomeThatSavedCtrlAltK()
{
    saveInGnomeSettings({toggleLights.id});
    DesktopAnswers answers{{{toggleLights.id, QStringLiteral("Press <Control><Alt>k")}},
                           0,
                           {{toggleLights.id, QStringLiteral("Press <Control><Alt>j")}},
                           0ms};
    answers.likeGnome = true;
    return answers;
}

// The keys the store holds for the action: they run it, and no others do.
struct StoredKeys {
    std::optional<quint32> carbonKeyCode = carbonK;

    PortalActionOfKeys action() const
    {
        return [this](quint32 keyCode, quint32) -> std::optional<PortalAction> {
            return keyCode == carbonKeyCode ? std::optional(toggleLights) : std::nullopt;
        };
    }
};

// The GlobalShortcuts portal as far as the backend uses it: sessions, lists and binds, each
// answered by a Response signal on the request's path.
class StandInPortal final : public QDBusVirtualObject {
public:
    // `connection` names the portal's connection: another name is another process to the bus.
    explicit StandInPortal(DesktopAnswers answers, const QString &connection = QStringLiteral("stand-in portal"))
        : m_answers(std::move(answers))
        , m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection))
    {
        qDBusRegisterMetaType<ListedShortcut>();
        qDBusRegisterMetaType<QList<ListedShortcut>>();
        // As xdg-desktop-portal --replace: a portal started later takes the name straight away.
        m_ready = m_bus.interface()->registerService(QStringLiteral("org.freedesktop.portal.Desktop"),
                                                     QDBusConnectionInterface::ReplaceExistingService,
                                                     QDBusConnectionInterface::AllowReplacement)
                      .value() == QDBusConnectionInterface::ServiceRegistered &&
                  m_bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                                              QDBusConnection::SubPath);
    }
    ~StandInPortal() override
    {
        // Answered at last: a call left unanswered when the connection closes is never freed.
        for (const QDBusMessage &call : std::as_const(m_unanswered))
            m_bus.send(call.createErrorReply(QDBusError::Failed, QStringLiteral("gone")));
        m_bus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"), QDBusConnection::UnregisterTree);
        m_bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    bool isReady() const { return m_ready; }
    int binds() const { return m_binds; }
    // The binds the person was asked about.
    int asked() const { return m_asked; }
    // The answers to binds sent so far.
    int bindAnswers() const { return m_bindAnswers; }
    // Each shortcut the desktop was asked to bind, as id, description and preferred keys.
    const QList<QStringList> &offered() const { return m_offered; }
    int closedSessions() const { return m_closedSessions; }
    // The requests withdrawn by their caller, which ends the desktop's window for them.
    int closedRequests() const { return m_closedRequests; }
    int sessions() const { return m_sessions; }
    // What the desktop did, in order: "Register" and "CreateSession" as asked, "Close" as answered.
    const QStringList &log() const { return m_log; }

    // A portal that ends (a crash, an upgrade) and another that takes its place on the bus.
    void leaveBus() { m_bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop")); }
    void rejoinBus() { m_bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")); }

    // The desktop ends the latest session on its own.
    void closeSession()
    {
        if (m_answers.forgetsOnClose)
            m_answers.held.clear();
        m_bus.send(QDBusMessage::createSignal(m_sessionHandle, QStringLiteral("org.freedesktop.portal.Session"),
                                              QStringLiteral("Closed"))
                   << QVariantMap());
    }

    // A key of the latest session goes down (again while held, where the desktop repeats it) or up.
    void press(const QString &id) { sendKeySignal(QStringLiteral("Activated"), id); }
    void release(const QString &id) { sendKeySignal(QStringLiteral("Deactivated"), id); }

    // The person changed the keys in the desktop's settings.
    void changeShortcuts(const QList<std::pair<QString, QString>> &shortcuts)
    {
        m_bus.send(QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                              QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                              QStringLiteral("ShortcutsChanged"))
                   << QVariant::fromValue(QDBusObjectPath(m_sessionHandle)) << shortcutList(shortcuts));
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() == m_answers.slowMethod && !std::exchange(m_wasSlow, true)) {
            message.setDelayedReply(true);
            QTimer::singleShot(m_answers.slowReply, this, [this, message, connection] { handleMessage(message, connection); });
            return true;
        }
        if (message.interface() == QLatin1String("org.freedesktop.portal.Session") &&
            message.member() == QLatin1String("Close")) {
            ++m_closedSessions;
            QTimer::singleShot(m_answers.closeDelay, this, [this, connection, reply = message.createReply()] {
                m_log.append(QStringLiteral("Close"));
                connection.send(reply);
            });
            return true;
        }
        if (message.interface() == QLatin1String("org.freedesktop.portal.Request") &&
            message.member() == QLatin1String("Close")) {
            ++m_closedRequests;
            connection.send(message.createReply());
            return true;
        }
        if (message.interface() == QLatin1String("org.freedesktop.host.portal.Registry") &&
            message.member() == QLatin1String("Register")) {
            m_log.append(message.member());
            if (m_answers.identity == PortalIdentity::registered)
                connection.send(message.createReply());
            else if (m_answers.identity == PortalIdentity::refused)
                connection.send(message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("no launcher of that name")));
            // An older portal has no registry.
            return m_answers.identity != PortalIdentity::unstated;
        }
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") &&
            message.member() == QLatin1String("Get")) {
            message.setDelayedReply(true);
            if (m_answers.versionUnanswered)
                m_unanswered.append(message);
            else
                QTimer::singleShot(m_answers.versionDelay, this, [this, message] {
                    m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
                });
            return true;
        }
        if (message.interface() != QLatin1String("org.freedesktop.portal.GlobalShortcuts"))
            return false;
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                    .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        const QString method = message.member();
        if (method == QLatin1String("BindShortcuts") && m_answers.bindCallFails) {
            ++m_binds;
            connection.send(message.createErrorReply(QDBusError::Failed, QStringLiteral("the backend is broken")));
            return true;
        }
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        if (method == m_answers.unreadableResponseTo) {
            m_binds += method == QLatin1String("BindShortcuts") ? 1 : 0;
            m_bus.send(QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                  QStringLiteral("Response"))
                       << QStringLiteral("an answer of another shape"));
            return true;
        }
        if (method == QLatin1String("CreateSession")) {
            ++m_sessions;
            m_log.append(method);
            m_sessionHandle = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                                  .arg(sender, options.value(QStringLiteral("session_handle_token")).toString());
            QTimer::singleShot(m_answers.sessionDelay, this, [this, request, handle = m_sessionHandle] {
                respond(request, m_answers.sessionResponse,
                        m_answers.sessionResponse != 0
                            ? QVariantMap()
                            : QVariantMap{{QStringLiteral("session_handle"), QVariant::fromValue(QDBusObjectPath(handle))}});
            });
        } else if (method == QLatin1String("ListShortcuts")) {
            QTimer::singleShot(m_answers.listDelay, this, [this, request] {
                respond(request, 0,
                        {{QStringLiteral("shortcuts"), shortcutList(m_answers.likeGnome ? Listed() : m_answers.held)}});
            });
        } else if (method == QLatin1String("BindShortcuts")) {
            ++m_binds;
            QList<ListedShortcut> shortcuts;
            message.arguments().value(1).value<QDBusArgument>() >> shortcuts;
            for (const ListedShortcut &shortcut : shortcuts) {
                m_offered.append({shortcut.id, shortcut.properties.value(QStringLiteral("description")).toString(),
                                  shortcut.properties.value(QStringLiteral("preferred_trigger")).toString()});
            }
            if (m_answers.likeGnome) {
                bindLikeGnome(request, shortcuts);
                return true;
            }
            Listed bound = m_answers.bound;
            if (m_answers.bindsAsAsked) {
                bound.clear();
                for (const ListedShortcut &shortcut : shortcuts) {
                    const QString keys = shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
                    bound.append({shortcut.id, QStringLiteral("Ctrl+Alt+") + keys.right(1).toUpper()});
                }
            }
            const QVariantMap results =
                bound.isEmpty() ? QVariantMap() : QVariantMap{{QStringLiteral("shortcuts"), shortcutList(bound)}};
            const auto delay = m_binds > 1 && m_answers.laterBindDelay ? *m_answers.laterBindDelay : m_answers.bindDelay;
            QTimer::singleShot(delay, this, [this, request, results, bound] {
                respond(request, m_answers.bindResponse, results);
                ++m_bindAnswers;
                // What a desktop binds, it holds from then on.
                if (m_answers.bindResponse == 0)
                    m_answers.held = bound;
            });
        }
        return true;
    }

private:
    using Listed = QList<std::pair<QString, QString>>;

    void sendKeySignal(const QString &member, const QString &id)
    {
        m_bus.send(QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                              QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), member)
                   << QVariant::fromValue(QDBusObjectPath(m_sessionHandle)) << id << qulonglong(0) << QVariantMap());
    }

    void bindLikeGnome(const QString &request, const QList<ListedShortcut> &shortcuts)
    {
        Listed saved;
        for (const ListedShortcut &shortcut : shortcuts) {
            for (const auto &held : std::as_const(m_answers.held)) {
                if (held.first == shortcut.id && isSavedInGnomeSettings(held.first))
                    saved.append(held);
            }
        }
        if (!saved.isEmpty())
            changeShortcuts(saved);
        const bool asks = saved.size() < shortcuts.size();
        const bool yes = asks && !(m_answers.bindResponse != 0 && m_answers.bound.isEmpty());
        m_asked += asks ? 1 : 0;
        const Listed answered = !asks ? saved : yes ? saved + m_answers.bound : Listed();
        QTimer::singleShot(asks ? m_answers.bindDelay : 0ms, this, [this, request, asks, yes, answered] {
            if (yes) {
                m_answers.held += m_answers.bound;
                QStringList ids;
                for (const auto &[id, trigger] : std::as_const(m_answers.held))
                    ids.append(id);
                if (GnomeSettingsInMemory::isReady())
                    saveInGnomeSettings(ids);
            }
            respond(request, asks ? m_answers.bindResponse : 0,
                    answered.isEmpty() ? QVariantMap() : QVariantMap{{QStringLiteral("shortcuts"), shortcutList(answered)}});
            ++m_bindAnswers;
        });
    }

    static QVariant shortcutList(const QList<std::pair<QString, QString>> &shortcuts)
    {
        QList<ListedShortcut> list;
        for (const auto &[id, trigger] : shortcuts)
            list.append({id, {{QStringLiteral("trigger_description"), trigger}}});
        return QVariant::fromValue(list);
    }

    void respond(const QString &request, uint response, const QVariantMap &results)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response << results;
        m_bus.send(signal);
    }

    DesktopAnswers m_answers;
    QDBusConnection m_bus;
    bool m_ready = false;
    int m_binds = 0;
    int m_asked = 0;
    int m_bindAnswers = 0;
    QList<QStringList> m_offered;
    int m_closedSessions = 0;
    int m_closedRequests = 0;
    int m_sessions = 0;
    QString m_sessionHandle;
    QStringList m_log;
    bool m_wasSlow = false;
    QList<QDBusMessage> m_unanswered;
};

// Plasma's key daemon, hung: it takes every call and answers none until it goes.
class SilentKeyDaemon final : public QDBusVirtualObject {
public:
    SilentKeyDaemon()
    {
        m_ready = m_bus.registerService(QStringLiteral("org.kde.kglobalaccel"))
            && m_bus.registerVirtualObject(QStringLiteral("/kglobalaccel"), this);
    }
    ~SilentKeyDaemon() override
    {
        // Answered at last: a call left unanswered when the connection closes is never freed.
        for (const QDBusMessage &call : std::as_const(m_calls))
            m_bus.send(call.createErrorReply(QDBusError::Failed, QStringLiteral("gone")));
        m_bus.unregisterObject(QStringLiteral("/kglobalaccel"));
        m_bus.unregisterService(QStringLiteral("org.kde.kglobalaccel"));
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    bool isReady() const { return m_ready; }
    qsizetype calls() const { return m_calls.size(); }
    // Whether it was told to let go of `actionId` for good, under any name of ours, and how often.
    bool wasToldToForget(const QString &actionId) const { return timesToldToForget(actionId) > 0; }
    qsizetype timesToldToForget(const QString &actionId) const
    {
        return std::count_if(m_calls.begin(), m_calls.end(), [&actionId](const QDBusMessage &call) {
            return call.member() == QLatin1String("unregister") && call.arguments().value(1).toString() == actionId;
        });
    }

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        message.setDelayedReply(true);
        m_calls.append(message);
        return true;
    }

private:
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in key daemon"));
    bool m_ready = false;
    QList<QDBusMessage> m_calls;
};

// Plasma's key daemon that keeps our shortcuts under our session token and gave their keys to
// another program first (it holds no keys for them), or not.
class AnsweringKeyDaemon final : public QDBusVirtualObject {
public:
    explicit AnsweringKeyDaemon(bool keysTaken)
        : m_keysTaken(keysTaken)
    {
        qDBusRegisterMetaType<QList<QStringList>>();
        m_ready = m_bus.registerService(QStringLiteral("org.kde.kglobalaccel"))
            && m_bus.registerVirtualObject(QStringLiteral("/kglobalaccel"), this);
    }
    ~AnsweringKeyDaemon() override
    {
        m_bus.unregisterObject(QStringLiteral("/kglobalaccel"));
        m_bus.unregisterService(QStringLiteral("org.kde.kglobalaccel"));
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    bool isReady() const { return m_ready; }
    int keysAsked() const { return m_keysAsked; }

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QStringList actionId = qdbus_cast<QStringList>(message.arguments().value(0));
        if (message.member() == QLatin1String("allActionsForComponent")) {
            QList<QStringList> actions;
            if (actionId.value(0) == QLatin1String("vantora_test"))
                actions.append({actionId.value(0), toggleLights.id, QStringLiteral("vantora"), QString()});
            connection.send(message.createReply(QVariant::fromValue(actions)));
        } else if (message.member() == QLatin1String("shortcut")) {
            ++m_keysAsked;
            connection.send(message.createReply(QVariant::fromValue(QList<int>{m_keysTaken ? 0 : 0x0800004b})));
        } else {
            connection.send(message.createReply());
        }
        return true;
    }

private:
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("answering key daemon"));
    bool m_keysTaken;
    bool m_ready = false;
    int m_keysAsked = 0;
};

// A backend of the portal, which holds the sessions the portal opens in it on the same paths:
// it hears which are closed.
class StandInPortalBackend final : public QDBusVirtualObject {
public:
    StandInPortalBackend()
    {
        m_ready = m_bus.registerService(QStringLiteral("org.freedesktop.impl.portal.desktop.standin"))
            && m_bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), this, QDBusConnection::SubPath);
    }
    ~StandInPortalBackend() override
    {
        m_bus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"), QDBusConnection::UnregisterTree);
        m_bus.unregisterService(QStringLiteral("org.freedesktop.impl.portal.desktop.standin"));
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    bool isReady() const { return m_ready; }
    const QStringList &closed() const { return m_closed; }

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() == QLatin1String("Close"))
            m_closed.append(message.path());
        connection.send(message.createReply());
        return true;
    }

private:
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in backend"));
    bool m_ready = false;
    QStringList m_closed;
};

struct Row {
    const char *name;
    DesktopAnswers answers;
    PortalIdentity identity;
    DesktopBinding expected;
    int binds;
    PortalDesktop desktop = PortalDesktop::other;
};

using Refusal = DesktopBinding::Refusal;

// An ended backend closes its portal session. The stand-in takes that Close before it leaves the
// bus: a message that arrives while Qt closes a connection is never freed, and the leak checker
// would fail the test for it.
void waitForTheSessionToClose(const StandInPortal &portal, int sessions = 1)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return portal.closedSessions() == sessions; }, 5000)) << "the session was not closed";
}

} // namespace

TEST(PortalHotKeys, TellsWhatTheDesktopBoundAndWhyItBoundNothing)
{
    const auto shortcut = [](const char *trigger) { return QList<std::pair<QString, QString>>{{toggleLights.id, QString::fromUtf8(trigger)}}; };
    const QList<std::pair<QString, QString>> none;
    const Row rows[] = {
        // name, {held, bind response, bound, delay}, our identity, expected, binds asked for
        {"bound as asked", {none, 0, shortcut("Ctrl+Alt+K"), 0ms}, PortalIdentity::unstated,
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 1},
        {"added after the user's yes, answered as failed in GNOME 48's words",
         {none, 2, shortcut("Press <Control><Alt>k"), 0ms}, PortalIdentity::registered,
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 1},
        {"other keys, in GNOME's words", {none, 0, shortcut("Press <Shift><Super>F5"), 0ms}, PortalIdentity::registered,
         DesktopBinding::boundTo(QStringLiteral("Meta+Shift+F5")), 1},
        {"words that cannot be read: bound, keys unknown", {none, 0, shortcut("Press <Hyper>k"), 0ms},
         PortalIdentity::registered, DesktopBinding::boundToUnknownKeys(), 1},
        {"as asked, in French GNOME's words", {none, 2, shortcut("Appuyer sur <Control><Alt>k"), 0ms},
         PortalIdentity::registered, DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 1},
        {"as asked, in German Plasma's words", {none, 0, shortcut("Strg+Alt+K"), 0ms}, PortalIdentity::registered,
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 1},
        {"as asked among two triggers", {none, 0, shortcut("Meta+F5, Ctrl+Alt+K"), 0ms}, PortalIdentity::registered,
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 1},
        {"held from an earlier run: nothing asked", {shortcut("Ctrl+Alt+K"), 0, none, 0ms}, PortalIdentity::registered,
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 0},
        {"held from an earlier run with other keys: the desktop's choice", {shortcut("Ctrl+Alt+M"), 0, none, 0ms},
         PortalIdentity::registered, DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+M")), 0},
        {"held without keys: asked again", {shortcut(""), 0, shortcut("Ctrl+Alt+K"), 0ms}, PortalIdentity::registered,
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 1},
        {"turned down by the user", {none, 1, none, 0ms}, PortalIdentity::registered,
         DesktopBinding::refused(Refusal::cancelled), 1},
        {"failed after a while: not taken for the user's No", {none, 2, none, 800ms}, PortalIdentity::registered,
         DesktopBinding::refused(Refusal::unexplained), 1},
        {"failed after a while, the portal having turned our id down", {none, 2, none, 800ms},
         PortalIdentity::refused, DesktopBinding::refused(Refusal::noApplicationId), 1},
        {"turned down by the user after a while", {none, 1, none, 800ms}, PortalIdentity::refused,
         DesktopBinding::refused(Refusal::cancelled), 1},
        {"refused, the portal having turned our id down", {none, 2, none, 0ms}, PortalIdentity::refused,
         DesktopBinding::refused(Refusal::noApplicationId), 1},
        {"refused with our id known", {none, 2, none, 0ms}, PortalIdentity::registered,
         DesktopBinding::refused(Refusal::unexplained), 1},
        {"failed with nothing bound, in GNOME's words for the user's No", {none, 2, none, 0ms},
         PortalIdentity::registered, DesktopBinding::refused(Refusal::cancelled), 1, PortalDesktop::gnome},
        {"refused by GNOME, the portal having turned our id down", {none, 2, none, 0ms}, PortalIdentity::refused,
         DesktopBinding::refused(Refusal::noApplicationId), 1, PortalDesktop::gnome},
        {"answered without the shortcut", {none, 0, {{QStringLiteral("CTRL+ALT+j"), QStringLiteral("Ctrl+Alt+J")}}, 0ms},
         PortalIdentity::unstated, DesktopBinding::refused(Refusal::unexplained), 1},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        DesktopAnswers answers = row.answers;
        answers.identity = row.identity;
        StandInPortal portal(answers);
        ASSERT_TRUE(portal.isReady()) << "the stand-in portal could not take its name";
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction, row.desktop);
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    const auto binding = backend.desktopBinding(carbonK, control | option);
                    return binding && binding->state != DesktopBinding::State::asking;
                },
                5000))
                << "no answer";
            EXPECT_EQ(backend.desktopBinding(carbonK, control | option), row.expected);
            EXPECT_EQ(portal.binds(), row.binds);
        }
        waitForTheSessionToClose(portal);
    }
}

TEST(PortalHotKeys, ADesktopSlowToAnswerIsAskingTheUserUntilItAnswers)
{
    StandInPortal portal({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 2s});
    ASSERT_TRUE(portal.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    runtime::NotificationCenter notifications;
    runtime::MemoryUserDefaults kept;
    std::optional<PortalHotKeys> backend(std::in_place, QDBusConnection::sessionBus(), *layout, notifications, kept,
                                         QStringLiteral("vantora_test"), theAction);
    QObject observer;
    int told = 0;
    notifications.addObserver(&observer, desktopTriggersDidChange, [&](const runtime::Notification &) { ++told; });
    ASSERT_TRUE(backend->registerHotKey(carbonK, control | option, 1).succeeded());

    ASSERT_TRUE(QTest::qWaitFor([&] { return told == 1; }, 1500)) << "the wait was not told";
    EXPECT_EQ(backend->desktopBinding(carbonK, control | option), DesktopBinding::asking());
    ASSERT_TRUE(QTest::qWaitFor([&] { return told == 2; }, 3000)) << "the answer was not told";
    EXPECT_EQ(backend->desktopBinding(carbonK, control | option), DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")));
    notifications.removeObservers(&observer);
    backend.reset();
    waitForTheSessionToClose(portal);
}

TEST(PortalHotKeys, TheDesktopListsAnActionOnceByWhatItDoesWhateverItsKeys)
{
    struct NamingRow {
        const char *name;
        PortalActionOfKeys actionOfKeys;
        // id, description, preferred keys: for Ctrl+Alt+K, then for Ctrl+Alt+J recorded in its place.
        QList<QStringList> expected;
    };
    const NamingRow rows[] = {
        {"an action, recorded anew", theAction,
         {{toggleLights.id, toggleLights.description, ctrlAltK},
          {toggleLights.id, toggleLights.description, QStringLiteral("CTRL+ALT+j")}}},
        {"keys of no action: by their keys and the program's name", {},
         {{ctrlAltK, QCoreApplication::applicationName(), ctrlAltK},
          {QStringLiteral("CTRL+ALT+j"), QCoreApplication::applicationName(), QStringLiteral("CTRL+ALT+j")}}},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const NamingRow &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms});
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  row.actionOfKeys);
            const auto first = backend.registerHotKey(carbonK, control | option, 1);
            ASSERT_TRUE(QTest::qWaitFor([&] { return backend.desktopBinding(carbonK, control | option).has_value(); }, 5000));
            backend.unregisterHotKey(first.ref);
            backend.registerHotKey(carbonJ, control | option, 2);
            ASSERT_TRUE(QTest::qWaitFor([&] { return portal.binds() == 2; }, 5000)) << "the new keys were not offered";
            EXPECT_EQ(portal.offered(), row.expected);
        }
        waitForTheSessionToClose(portal, 2);
    }
}

TEST(PortalHotKeys, FollowsThePortalThroughRestartsClosedSessionsAndChangedKeys)
{
    struct FollowRow {
        const char *name;
        std::function<void(StandInPortal &, PortalHotKeys &, HotKeyRef)> happen;
        // What the portal was asked, from the start.
        QStringList asked;
        DesktopBinding expected;
        // How often the page was told, from the first answer.
        int told;
        // The sessions closed by the end, the backend's last among them where it holds one.
        int closedSessions = 1;
    };
    const QString tellId = QStringLiteral("Register"), create = QStringLiteral("CreateSession");
    const FollowRow rows[] = {
        {"the portal restarts: told our id again, a new session, and the keys it holds asked of nobody",
         [](StandInPortal &portal, PortalHotKeys &, HotKeyRef) {
             portal.leaveBus();
             portal.rejoinBus();
         },
         {tellId, create, tellId, create}, DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 3},
        {"the portal restarts while the keys are let go (a menu open): back with nothing to bind, it is not gone",
         [](StandInPortal &portal, PortalHotKeys &backend, HotKeyRef ref) {
             backend.unregisterHotKey(ref);
             portal.leaveBus();
             portal.rejoinBus();
         },
         {tellId, create}, DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 3, 0},
        {"the portal is away for half a second (an update restarting it): followed again once back",
         [](StandInPortal &portal, PortalHotKeys &, HotKeyRef) {
             portal.leaveBus();
             QTest::qWait(500);
             portal.rejoinBus();
         },
         {tellId, create, tellId, create}, DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 3},
        {"the desktop closes the session: a new one, from the portal that knows us",
         [](StandInPortal &portal, PortalHotKeys &, HotKeyRef) { portal.closeSession(); }, {tellId, create, create},
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 2},
        {"the keys change in the desktop's settings",
         [](StandInPortal &portal, PortalHotKeys &, HotKeyRef) {
             portal.changeShortcuts({{toggleLights.id, QStringLiteral("Ctrl+Alt+J")}});
         },
         {tellId, create}, DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+J")), 2},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const FollowRow &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms});
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            QObject observer;
            int told = 0;
            notifications.addObserver(&observer, desktopTriggersDidChange, [&](const runtime::Notification &) { ++told; });
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction);
            const auto registration = backend.registerHotKey(carbonK, control | option, 1);
            ASSERT_TRUE(registration.succeeded());
            ASSERT_TRUE(QTest::qWaitFor([&] { return told == 1; }, 5000)) << "no first answer";
            row.happen(portal, backend, registration.ref);
            EXPECT_TRUE(QTest::qWaitFor([&] { return told == row.told && portal.log() == row.asked; }, 5000))
                << "the desktop's word was not followed: " << portal.log().join(QLatin1Char(' ')).toStdString();
            EXPECT_EQ(backend.desktopBinding(carbonK, control | option), row.expected);
            EXPECT_EQ(portal.binds(), 1) << "the person was asked again";
            notifications.removeObservers(&observer);
        }
        waitForTheSessionToClose(portal, row.closedSessions);
    }
}

// Keys changed in the desktop's settings come to be the action's own (stored, then registered):
// the desktop binds them already, and is asked nothing.
TEST(PortalHotKeys, KeysTheDesktopChoseAreRegisteredWithoutAskingIt)
{
    StandInPortal portal({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms});
    ASSERT_TRUE(portal.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction);
        const auto first = backend.registerHotKey(carbonK, control | option, 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return backend.desktopBinding(carbonK, control | option).has_value(); }, 5000));
        portal.changeShortcuts({{toggleLights.id, QStringLiteral("Ctrl+Alt+J")}});
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return backend.desktopBinding(carbonK, control | option)
                    == DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+J"));
            },
            5000));
        backend.unregisterHotKey(first.ref);
        ASSERT_TRUE(backend.registerHotKey(carbonJ, control | option, 2).succeeded());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonJ, control | option) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")); },
            5000));
        EXPECT_EQ(portal.sessions(), 1) << "a new session for keys the desktop binds";
        EXPECT_EQ(portal.binds(), 1);
    }
    waitForTheSessionToClose(portal);
}

// A portal that was asking and goes, or whose session the desktop ends, asks nothing any more:
// the page is told at once, and reads no question; the next session asks anew.
TEST(PortalHotKeys, APortalThatEndsWhileAskingEndsTheQuestionAndTheNextOneIsAsked)
{
    const DesktopAnswers slowToAnswer{{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 1500ms};
    const struct {
        const char *name;
        std::function<void(StandInPortal &, std::optional<StandInPortal> &)> end;
        // What the page reads when told, and whether the portal comes back.
        std::optional<DesktopBinding> toldAtTheEnd;
        bool comesBack;
    } rows[] = {
        {"the portal leaves the bus", [](StandInPortal &portal, auto &) { portal.leaveBus(); },
         DesktopBinding::serviceGone(), true},
        {"another portal takes its name in one step",
         [&](StandInPortal &, std::optional<StandInPortal> &next) {
             next.emplace(slowToAnswer, QStringLiteral("next stand-in portal"));
         },
         std::nullopt, false},
        {"the desktop closes the session", [](StandInPortal &portal, auto &) { portal.closeSession(); }, std::nullopt, false},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal(slowToAnswer);
        ASSERT_TRUE(portal.isReady());
        std::optional<StandInPortal> next;
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction);
            // What the page reads each time it is told.
            QList<std::optional<DesktopBinding>> told;
            QObject observer;
            notifications.addObserver(&observer, desktopTriggersDidChange, [&](const runtime::Notification &) {
                told.append(backend.desktopBinding(carbonK, control | option));
            });
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            ASSERT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty() && told.constLast() == DesktopBinding::asking(); }, 5000));
            const qsizetype before = told.size();
            row.end(portal, next);
            EXPECT_TRUE(QTest::qWaitFor([&] { return told.size() > before; }, 5000)) << "the page was not told";
            EXPECT_EQ(told.value(before), row.toldAtTheEnd) << "the page would say the desktop is asking";
            if (row.comesBack)
                portal.rejoinBus();
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return backend.desktopBinding(carbonK, control | option)
                        == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K"));
                },
                5000));
            EXPECT_EQ(portal.sessions() + (next ? next->sessions() : 0), 2);
            EXPECT_EQ(portal.binds() + (next ? next->binds() : 0), 2);
            notifications.removeObservers(&observer);
        }
        waitForTheSessionToClose(next ? *next : portal);
    }
}

// A portal that ends while it opens or closes our session may leave it in its backends, on
// the path every session of ours takes, where they would refuse the next portal's: it is
// closed there before the next portal is asked.
TEST(PortalHotKeys, APortalThatEndsMidSessionLeavesNoSessionInItsBackends)
{
    const QList<std::pair<QString, QString>> ctrlAltK{{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}};
    const struct {
        const char *name;
        DesktopAnswers answers;
        // The keys are recorded anew once bound, which closes the session first.
        bool recordedAnew;
    } rows[] = {
        {"while it opens the session", {.bound = ctrlAltK, .sessionDelay = 60s}, false},
        {"while it closes the session", {.bound = ctrlAltK, .closeDelay = 60s, .bindsAsAsked = true}, true},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortalBackend backends;
        ASSERT_TRUE(backends.isReady());
        std::optional<StandInPortal> portal(std::in_place, row.answers);
        ASSERT_TRUE(portal->isReady());
        std::optional<StandInPortal> next;
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            StoredKeys stored;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  stored.action());
            const auto first = backend.registerHotKey(carbonK, control | option, 1);
            if (row.recordedAnew) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return backend.desktopBinding(carbonK, control | option).has_value(); }, 5000));
                stored.carbonKeyCode = carbonJ;
                backend.unregisterHotKey(first.ref);
                ASSERT_TRUE(backend.registerHotKey(carbonJ, control | option, 2).succeeded());
                ASSERT_TRUE(QTest::qWaitFor([&] { return portal->closedSessions() == 1; }, 5000));
            } else {
                ASSERT_TRUE(QTest::qWaitFor([&] { return portal->sessions() == 1; }, 5000));
            }
            portal->leaveBus();
            EXPECT_TRUE(QTest::qWaitFor([&] { return !backends.closed().isEmpty(); }, 5000)) << "left in the backends";
            QString ourName = QDBusConnection::sessionBus().baseService().mid(1);
            ourName.replace(QLatin1Char('.'), QLatin1Char('_'));
            EXPECT_EQ(backends.closed().value(0),
                      QStringLiteral("/org/freedesktop/portal/desktop/session/%1/vantora_test").arg(ourName));
            next.emplace(DesktopAnswers{.bound = ctrlAltK, .bindsAsAsked = true}, QStringLiteral("next stand-in portal"));
            EXPECT_TRUE(QTest::qWaitFor([&] { return next->bindAnswers() == 1; }, 5000)) << "the next portal was not asked";
        }
        waitForTheSessionToClose(*next);
    }
}

// A portal started to replace the running one takes its name straight away, in one change of
// owner (xdg-desktop-portal --replace): it hears our id before anything else too.
TEST(PortalHotKeys, APortalThatTakesTheNameStraightFromTheOldOneHearsOurIdFirst)
{
    const DesktopAnswers answers{{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms};
    StandInPortal first(answers);
    ASSERT_TRUE(first.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    std::optional<StandInPortal> next;
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction);
        ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
        ASSERT_TRUE(QTest::qWaitFor([&] { return first.bindAnswers() == 1 && backend.desktopBinding(carbonK, control | option); }, 5000));
        next.emplace(answers, QStringLiteral("next stand-in portal"));
        ASSERT_TRUE(next->isReady()) << "the name was not taken over";
        EXPECT_TRUE(QTest::qWaitFor([&] { return next->binds() == 1; }, 5000)) << "the new portal was not asked";
        EXPECT_EQ(next->log(), (QStringList{QStringLiteral("Register"), QStringLiteral("CreateSession")}));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonK, control | option) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")); },
            5000));
    }
    waitForTheSessionToClose(*next);
}

// A new round asks anew what a bind past its deadline asked: the old bind's late answer, about
// the keys offered before, is no word on those offered since.
TEST(PortalHotKeys, ALateAnswerToABindANewRoundReplacedIsDropped)
{
    DesktopAnswers answers{{}, 0, {}, 2500ms};
    answers.bindsAsAsked = true;
    answers.laterBindDelay = 0ms;
    StandInPortal portal(answers);
    ASSERT_TRUE(portal.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction, PortalDesktop::other, PortalDeadlines{1s, 1s});
        QList<std::optional<DesktopBinding>> toldOfJ;
        QObject observer;
        notifications.addObserver(&observer, desktopTriggersDidChange, [&](const runtime::Notification &) {
            toldOfJ.append(backend.desktopBinding(carbonJ, control | option));
        });
        const auto first = backend.registerHotKey(carbonK, control | option, 1);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonK, control | option) == DesktopBinding::unconfirmed(); }, 2400));
        // Recorded anew before the desktop answered.
        backend.unregisterHotKey(first.ref);
        ASSERT_TRUE(backend.registerHotKey(carbonJ, control | option, 2).succeeded());
        ASSERT_TRUE(QTest::qWaitFor([&] { return portal.bindAnswers() == 2; }, 5000)) << "the desktop did not answer both";
        // Told after the late answer, and so taken after it; told twice, so that what taking the
        // late answer would lead to (one more call on the bus) is told before the second change.
        for (const qsizetype changes : {1, 2}) {
            portal.changeShortcuts({{toggleLights.id, QStringLiteral("Press <Hyper>k")}});
            ASSERT_TRUE(QTest::qWaitFor([&] { return toldOfJ.count(DesktopBinding::boundToUnknownKeys()) == changes; }, 5000));
        }
        EXPECT_TRUE(toldOfJ.contains(DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J"))));
        EXPECT_FALSE(toldOfJ.contains(DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K"))))
            << "the late answer about the old keys was taken";
        notifications.removeObservers(&observer);
    }
    waitForTheSessionToClose(portal, 2);
}

// A portal that ends in the middle of a bind and another that takes its place: the new one hears
// our id before anything else, and the old one hears nothing more.
TEST(PortalHotKeys, APortalThatReplacesAnotherMidBindHearsOurIdFirst)
{
    StandInPortal first({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 1500ms});
    ASSERT_TRUE(first.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    std::optional<StandInPortal> next;
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction);
        ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
        ASSERT_TRUE(QTest::qWaitFor([&] { return first.binds() == 1; }, 5000));
        first.leaveBus();
        const QStringList heardBeforeLeaving = first.log();
        next.emplace(DesktopAnswers{{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms},
                     QStringLiteral("next stand-in portal"));
        ASSERT_TRUE(next->isReady());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonK, control | option) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")); },
            5000));
        EXPECT_EQ(next->log(), (QStringList{QStringLiteral("Register"), QStringLiteral("CreateSession")}));
        EXPECT_EQ(first.log(), heardBeforeLeaving) << "the portal that left was still called";
        // The first's answer, after it left, is dropped.
        EXPECT_TRUE(QTest::qWaitFor([&] { return first.bindAnswers() == 1; }, 5000));
        EXPECT_EQ(backend.desktopBinding(carbonK, control | option), DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")));
    }
    waitForTheSessionToClose(*next);
}

// A person may take longer than the bind's deadline in the desktop's window: only the
// desktop's answer, however late, says yes or no.
TEST(PortalHotKeys, ABindPastItsDeadlineIsUnconfirmedUntilTheDesktopAnswers)
{
    struct LateRow {
        const char *name;
        PortalDesktop desktop;
        uint response;
        QList<std::pair<QString, QString>> bound;
        DesktopBinding expected;
    };
    const QList<std::pair<QString, QString>> ctrlAltKBound{{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}};
    const LateRow rows[] = {
        {"GNOME, the person's late Add", PortalDesktop::gnome, 0, ctrlAltKBound,
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K"))},
        {"GNOME, the person's late No", PortalDesktop::gnome, 2, {}, DesktopBinding::refused(Refusal::cancelled)},
        {"another desktop, a late refusal", PortalDesktop::other, 2, {}, DesktopBinding::refused(Refusal::unexplained)},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const LateRow &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{}, row.response, row.bound, 2500ms});
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction, row.desktop, PortalDeadlines{1s, 1s});
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            const auto binding = [&] { return backend.desktopBinding(carbonK, control | option); };
            ASSERT_TRUE(QTest::qWaitFor([&] { return binding() == DesktopBinding::unconfirmed(); }, 2400))
                << "the bind waited past its deadline";
            EXPECT_EQ(portal.bindAnswers(), 0) << "the desktop had answered already";
            EXPECT_TRUE(QTest::qWaitFor([&] { return portal.bindAnswers() == 1 && binding() == row.expected; }, 5000))
                << "the late answer was not taken";
            EXPECT_EQ(portal.binds(), 1);
        }
        waitForTheSessionToClose(portal);
    }
}

// The desktop's window lists every shortcut of the session (GNOME's does): turning down the one
// it asks about leaves the one it holds bound.
TEST(PortalHotKeys, TurningDownOneShortcutLeavesTheOneTheDesktopHolds)
{
    const PortalAction showApp{QStringLiteral("showVantora"), QStringLiteral("Show or hide app")};
    const PortalActionOfKeys twoActions = [&](quint32 carbonKeyCode, quint32) -> std::optional<PortalAction> {
        return carbonKeyCode == carbonJ ? showApp : toggleLights;
    };
    struct DeclineRow {
        const char *name;
        PortalDesktop desktop;
        uint response;
    };
    const DeclineRow rows[] = {
        {"GNOME's failed with nothing bound", PortalDesktop::gnome, 2},
        {"another desktop's cancelled", PortalDesktop::other, 1},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const DeclineRow &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{{showApp.id, QStringLiteral("Ctrl+Alt+J")}}, row.response, {}, 0ms});
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  twoActions, row.desktop);
            ASSERT_TRUE(backend.registerHotKey(carbonJ, control | option, 1).succeeded());
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 2).succeeded());
            ASSERT_TRUE(QTest::qWaitFor([&] { return portal.bindAnswers() == 1 && backend.desktopBinding(carbonK, control | option); }, 5000));
            EXPECT_EQ(backend.desktopBinding(carbonK, control | option), DesktopBinding::refused(Refusal::cancelled));
            EXPECT_EQ(backend.desktopBinding(carbonJ, control | option), DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")))
                << "the shortcut the desktop holds was taken for turned down";
        }
        waitForTheSessionToClose(portal);
    }
}

// GNOME 48 lists nothing of a new session before a bind, and binds the keys it saved without
// asking: what it answers for them is its own keys, and a No to another shortcut in its window
// leaves them bound, also at the first bind of a run, where only GNOME's settings tell what it
// saved.
TEST(PortalHotKeys, GnomeBindsWhatItSavedWithoutListingIt)
{
    if (!GnomeSettingsInMemory::isReady())
        GTEST_SKIP() << "glib-compile-schemas is not installed or failed";
    const PortalAction showApp{QStringLiteral("showVantora"), QStringLiteral("Show or hide app")};
    const PortalActionOfKeys twoActions = [&](quint32 carbonKeyCode, quint32) -> std::optional<PortalAction> {
        return carbonKeyCode == carbonJ ? showApp : toggleLights;
    };
    struct GnomeRow {
        const char *name;
        // What GNOME saved, and the person's answer about the rest.
        DesktopAnswers answers;
        DesktopBinding expectedShowApp;
        DesktopBinding expectedToggle;
        int asked;
        // Both shortcuts are there at the start, rather than the second coming once the first is bound.
        bool atOnce = false;
        // The person answers past the bind's deadline (the answers' bind delay).
        bool late = false;
    };
    const QString ctrlAltJ = QStringLiteral("Press <Control><Alt>j");
    const GnomeRow rows[] = {
        {"the person turns the new one down: the saved one stays bound",
         {{{showApp.id, ctrlAltJ}}, 2, {}, 0ms, 0ms, 0ms, PortalIdentity::registered, false, true},
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")), DesktopBinding::refused(Refusal::cancelled), 1},
        {"the person adds the new one",
         {{{showApp.id, ctrlAltJ}}, 2, {{toggleLights.id, QStringLiteral("Press <Control><Alt>k")}}, 0ms, 0ms, 0ms,
          PortalIdentity::registered, false, true},
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")), DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), 1},
        {"saved with other keys: GNOME's keys for the action, asked of nobody",
         {{{showApp.id, ctrlAltJ}, {toggleLights.id, QStringLiteral("Press <Control><Alt>m")}}, 2, {}, 0ms, 0ms, 0ms,
          PortalIdentity::registered, false, true},
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")), DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+M")),
         0},
        {"both at the start, the new one turned down: the one saved in an earlier run stays bound",
         {{{showApp.id, ctrlAltJ}}, 2, {}, 0ms, 0ms, 0ms, PortalIdentity::registered, false, true},
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")), DesktopBinding::refused(Refusal::cancelled), 1, true},
        {"the person turns the new one down past the bind's deadline: the saved one stays bound",
         {{{showApp.id, ctrlAltJ}}, 2, {}, 2500ms, 0ms, 0ms, PortalIdentity::registered, false, true},
         DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")), DesktopBinding::refused(Refusal::cancelled), 1, false, true},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const GnomeRow &row : rows) {
        SCOPED_TRACE(row.name);
        // GNOME's settings hold what it saved.
        QStringList saved;
        for (const auto &[id, trigger] : row.answers.held)
            saved.append(id);
        saveInGnomeSettings(saved);
        StandInPortal portal(row.answers);
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  twoActions, PortalDesktop::gnome, row.late ? PortalDeadlines{1s, 1s} : PortalDeadlines{});
            const auto answered = [&](quint32 carbonKeyCode) {
                const auto binding = backend.desktopBinding(carbonKeyCode, control | option);
                return binding && binding->state != DesktopBinding::State::asking
                    && binding->state != DesktopBinding::State::unconfirmed;
            };
            // What the page hears of the new shortcut along the way: other keys told before
            // they are the desktop's own would be explained as its answer.
            QList<DesktopBinding> toldOfToggle;
            QObject observer;
            notifications.addObserver(&observer, desktopTriggersDidChange, [&](const runtime::Notification &) {
                if (const auto binding = backend.desktopBinding(carbonK, control | option);
                    binding && binding->state != DesktopBinding::State::asking)
                    toldOfToggle.append(*binding);
            });
            ASSERT_TRUE(backend.registerHotKey(carbonJ, control | option, 1).succeeded());
            if (!row.atOnce) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return answered(carbonJ); }, 5000));
            }
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 2).succeeded());
            ASSERT_TRUE(QTest::qWaitFor([&] { return answered(carbonJ) && answered(carbonK); }, 5000))
                << "no answer for the new one";
            EXPECT_EQ(backend.desktopBinding(carbonJ, control | option), row.expectedShowApp);
            EXPECT_EQ(backend.desktopBinding(carbonK, control | option), row.expectedToggle);
            EXPECT_EQ(portal.asked(), row.asked);
            toldOfToggle.erase(std::unique(toldOfToggle.begin(), toldOfToggle.end()), toldOfToggle.end());
            const QList<DesktopBinding> expectedTold = row.late ? QList{DesktopBinding::unconfirmed(), row.expectedToggle}
                                                                : QList{row.expectedToggle};
            EXPECT_EQ(toldOfToggle, expectedTold);
            notifications.removeObservers(&observer);
        }
        waitForTheSessionToClose(portal, portal.sessions());
    }
}

// A hung key daemon holds the answer back no longer than the portal's deadline, not the bus's
// own (25 s for each of several calls).
TEST(PortalHotKeys, AHungKeyDaemonHoldsTheAnswerBackOnlyUntilTheDeadline)
{
    StandInPortal portal({{{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0, {}, 0ms});
    ASSERT_TRUE(portal.isReady());
    SilentKeyDaemon keyDaemon;
    ASSERT_TRUE(keyDaemon.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction, PortalDesktop::other, PortalDeadlines{1s, 1s});
        ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonK, control | option) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")); },
            10000))
            << "the answer waited for the key daemon";
        EXPECT_GT(keyDaemon.calls(), 0) << "the key daemon was not asked";
    }
    waitForTheSessionToClose(portal);
}

// A bind call that fails is no answer of the person's, on any desktop.
TEST(PortalHotKeys, ABindCallThatFailsIsNoNo)
{
    DesktopAnswers answers{{}, 0, {}, 0ms};
    answers.bindCallFails = true;
    StandInPortal portal(answers);
    ASSERT_TRUE(portal.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction, PortalDesktop::gnome);
        ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonK, control | option) == DesktopBinding::refused(Refusal::unexplained); },
            5000));
    }
    waitForTheSessionToClose(portal);
}

// A step the desktop ends without an answer the app can use ends as failed, told on the page,
// rather than leaving the page waiting for as long as the portal lives: a Response the app
// cannot read (not a code and results), or a session the desktop does not open.
TEST(PortalHotKeys, AStepEndedWithoutAUsableAnswerEndsAsFailed)
{
    const QList<std::pair<QString, QString>> ctrlAltK{{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}};
    const struct {
        const char *name;
        DesktopAnswers answers;
        int binds;
        int sessionsToClose;
    } rows[] = {
        {"an unreadable answer to CreateSession", {.bound = ctrlAltK, .unreadableResponseTo = QStringLiteral("CreateSession")}, 0, 0},
        {"an unreadable answer to BindShortcuts", {.bound = ctrlAltK, .unreadableResponseTo = QStringLiteral("BindShortcuts")}, 1, 1},
        {"no session opened", {.bound = ctrlAltK, .sessionResponse = 2}, 0, 0},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal(row.answers);
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction);
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return backend.desktopBinding(carbonK, control | option)
                        == DesktopBinding::refused(Refusal::unexplained);
                },
                5000))
                << "the page was left waiting";
            EXPECT_EQ(portal.binds(), row.binds);
        }
        waitForTheSessionToClose(portal, row.sessionsToClose);
    }
}

// A press is the desktop's Activated and a release its Deactivated: the desktop's key repeat
// (Activated again while held) runs nothing more, and a key held while the session goes is
// released rather than left held (a held shortcut repeats its action).
TEST(PortalHotKeys, EveryPressRunsOnceAndIsReleased)
{
    const struct {
        const char *name;
        std::function<void(StandInPortal &)> keys;
        // The rounds that bind the shortcut, the one in a new session included.
        int rounds;
    } rows[] = {
        {"the desktop repeats a held key",
         [](StandInPortal &portal) {
             portal.press(toggleLights.id);
             portal.press(toggleLights.id);
             portal.release(toggleLights.id);
         },
         1},
        {"the desktop closes the session while the key is held",
         [](StandInPortal &portal) {
             portal.press(toggleLights.id);
             portal.closeSession();
         },
         2},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms});
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction);
            int rounds = 0;
            QObject observer;
            notifications.addObserver(&observer, desktopTriggersDidChange, [&](const runtime::Notification &) { ++rounds; });
            QList<HotKeyEvent::Kind> heard;
            backend.installHandler([&](const HotKeyEvent &event) {
                EXPECT_EQ(event.hotKeyId, 1u);
                heard.append(event.kind);
            });
            backend.setEventsAttached(true);
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            ASSERT_TRUE(QTest::qWaitFor([&] { return backend.desktopBinding(carbonK, control | option).has_value(); }, 5000));
            row.keys(portal);
            EXPECT_TRUE(QTest::qWaitFor([&] { return heard.contains(HotKeyEvent::Kind::released) && rounds == row.rounds; }, 5000))
                << "never released";
            notifications.removeObservers(&observer);
            const QList<HotKeyEvent::Kind> pressAndRelease{HotKeyEvent::Kind::pressed, HotKeyEvent::Kind::released};
            EXPECT_EQ(heard, pressAndRelease);
        }
        waitForTheSessionToClose(portal);
    }
}

// What the desktop told of a shortcut in one round is no answer in the next: a later bind left
// past its deadline is unconfirmed, whatever the desktop said before.
TEST(PortalHotKeys, AWordToldInAnEarlierRoundIsNoAnswerInALaterOne)
{
    DesktopAnswers answers{{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms};
    answers.laterBindDelay = 2500ms;
    answers.forgetsOnClose = true;
    StandInPortal portal(answers);
    ASSERT_TRUE(portal.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction, PortalDesktop::other, PortalDeadlines{1s, 1s});
        int told = 0;
        QObject observer;
        notifications.addObserver(&observer, desktopTriggersDidChange, [&](const runtime::Notification &) { ++told; });
        ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
        ASSERT_TRUE(QTest::qWaitFor([&] { return told == 1; }, 5000));
        portal.changeShortcuts({{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}});
        ASSERT_TRUE(QTest::qWaitFor([&] { return told == 2; }, 5000)) << "the change was not told";
        // The desktop ends the session, and forgets what it bound there.
        portal.closeSession();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonK, control | option) == DesktopBinding::unconfirmed(); }, 2400))
            << "the earlier round's word was taken for the later one's answer";
        notifications.removeObservers(&observer);
    }
    waitForTheSessionToClose(portal);
}

// Plasma's portal answers as bound keys its key daemon gave another program first, which never
// fire: the daemon's word wins, whether the bind was answered in time or past its deadline.
TEST(PortalHotKeys, KeysPlasmasKeyDaemonGaveAnotherProgramAreTaken)
{
    const struct {
        const char *name;
        std::chrono::milliseconds bindDelay;
        bool keysTaken;
        DesktopBinding expected;
    } rows[] = {
        {"answered in time", 0ms, true, DesktopBinding::refused(Refusal::keysTaken)},
        {"answered past the bind's deadline", 2500ms, true, DesktopBinding::refused(Refusal::keysTaken)},
        {"keys it holds for us", 0ms, false, DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K"))},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, row.bindDelay});
        ASSERT_TRUE(portal.isReady());
        AnsweringKeyDaemon keyDaemon(row.keysTaken);
        ASSERT_TRUE(keyDaemon.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction, PortalDesktop::other, PortalDeadlines{1s, 1s});
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            EXPECT_TRUE(QTest::qWaitFor([&] { return keyDaemon.keysAsked() == 1; }, 5000)) << "the key daemon was not asked";
            EXPECT_TRUE(QTest::qWaitFor([&] { return backend.desktopBinding(carbonK, control | option) == row.expected; }, 5000));
        }
        waitForTheSessionToClose(portal);
    }
}

TEST(PortalHotKeys, ANewSessionWaitsForTheOldOnesCloseToBeAnswered)
{
    DesktopAnswers answers{{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms};
    answers.closeDelay = 800ms;
    StandInPortal portal(answers);
    ASSERT_TRUE(portal.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              theAction);
        const auto first = backend.registerHotKey(carbonK, control | option, 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return backend.desktopBinding(carbonK, control | option).has_value(); }, 5000));
        // Recorded anew.
        backend.unregisterHotKey(first.ref);
        backend.registerHotKey(carbonJ, control | option, 2);
        ASSERT_TRUE(QTest::qWaitFor([&] { return backend.desktopBinding(carbonJ, control | option).has_value(); }, 5000));
        EXPECT_EQ(portal.log(), (QStringList{QStringLiteral("Register"), QStringLiteral("CreateSession"),
                                             QStringLiteral("Close"), QStringLiteral("CreateSession")}));
    }
    waitForTheSessionToClose(portal, 2);
}

// A portal slow to come (at login): the start takes X11 grabs without waiting for it, and every
// stored shortcut goes to the portal once it answers, where the desktop binds it. Keys the grabs
// could not take are refused until then, as not working (without an X server and a portal they
// never work), and go to the portal when registered again at the handover.
TEST(PortalHotKeys, APortalThatAnswersLateTakesOverEveryShortcutOnce)
{
    struct LateRow {
        const char *name;
        std::chrono::milliseconds versionDelay;
        // Another X client holds the keys, or there is no X server and nothing is delivered.
        bool grabsRefuse;
        bool noServer;
        // The portal takes its name on the bus only after the first question.
        bool comesLater;
        // Until then a portal that never answers the question holds the name.
        bool replacesAHungOne = false;
    };
    const LateRow rows[] = {
        {"the portal answers after a while", 1s, false, false, false},
        {"the grabs refuse the keys", 1s, true, false, false},
        {"no X server", 1s, true, true, false},
        {"the portal comes onto the bus after the start", 0ms, false, false, true},
        {"the portal answers past the bus's own timeout of 25 s", 26s, false, false, false},
        {"a hung portal is replaced in one step by one that answers", 0ms, false, false, true, true},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const LateRow &row : rows) {
        SCOPED_TRACE(row.name);
        DesktopAnswers answers{{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 0ms};
        answers.versionDelay = row.versionDelay;
        std::optional<StandInPortal> portal, hung;
        if (!row.comesLater)
            portal.emplace(answers);
        if (row.replacesAHungOne) {
            DesktopAnswers hangs = answers;
            hangs.versionUnanswered = true;
            hung.emplace(hangs, QStringLiteral("hung stand-in portal"));
            ASSERT_TRUE(hung->isReady());
        }
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        auto grabs = std::make_unique<vantora::testing::FakeHotKeyBackend>();
        if (row.grabsRefuse)
            grabs->taken.insert({carbonK, control | option});
        grabs->refusesHandler = row.noServer;
        std::optional<HotKeyHandover> hotKeys(std::in_place, std::move(grabs));
        int presses = 0;
        const auto countPresses = [&presses](const HotKeyEvent &event) {
            presses += event.kind == HotKeyEvent::Kind::pressed ? 1 : 0;
        };
        EXPECT_EQ(hotKeys->installHandler(countPresses), !row.noServer)
            << "without a server no event arrives before the handover";
        hotKeys->setEventsAttached(true);
        EXPECT_EQ(hotKeys->registerHotKey(carbonK, control | option, 1).succeeded(), !row.grabsRefuse)
            << "keys the grabs refused were reported as working";

        QObject context;
        int handovers = 0;
        PortalHotKeys::whenOffered(QDBusConnection::sessionBus(), &context, [&] {
            ++handovers;
            hotKeys->handOver(std::make_unique<PortalHotKeys>(QDBusConnection::sessionBus(), *layout, notifications, kept,
                                                              QStringLiteral("vantora_test"), theAction));
        });
        EXPECT_FALSE(hotKeys->isHandedOver()) << "the start waited for the portal";
        EXPECT_FALSE(hotKeys->desktopDecides());
        if (row.comesLater) {
            // Answered on the same connection after the first question: that one found no portal.
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
            portal.emplace(answers);
        }
        ASSERT_TRUE(portal->isReady());

        ASSERT_TRUE(QTest::qWaitFor([&] { return hotKeys->isHandedOver(); }, 40000)) << "the portal's answer was lost";
        EXPECT_TRUE(hotKeys->desktopDecides());
        if (row.grabsRefuse) {
            // Their owner registers them again, as the app does at the handover.
            EXPECT_TRUE(hotKeys->installHandler(countPresses));
            EXPECT_TRUE(hotKeys->registerHotKey(carbonK, control | option, 1).succeeded());
        }
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const auto binding = hotKeys->desktopBinding(carbonK, control | option);
                return binding && binding->state == DesktopBinding::State::bound;
            },
            5000))
            << "the shortcut did not reach the portal";
        EXPECT_EQ(portal->binds(), 1);
        EXPECT_EQ(handovers, 1);
        portal->press(toggleLights.id);
        portal->release(toggleLights.id);
        EXPECT_TRUE(QTest::qWaitFor([&] { return presses == 1; }, 5000)) << "the press did not reach the handler";
        hotKeys.reset();
        waitForTheSessionToClose(*portal);
    }
}

// What the user turned down is asked for again only when the keys are let go and registered
// anew (recorded again), not while they stay registered.
TEST(PortalHotKeys, KeysTurnedDownAreAskedForAgainOnlyWhenRegisteredAnew)
{
    StandInPortal portal({{}, 1, {}, 0ms});
    ASSERT_TRUE(portal.isReady());
    const auto layout = XkbKeyboardLayout::fromNames("us");
    runtime::NotificationCenter notifications;
    runtime::MemoryUserDefaults kept;
    std::optional<PortalHotKeys> backend(std::in_place, QDBusConnection::sessionBus(), *layout, notifications, kept,
                                         QStringLiteral("vantora_test"), theAction);
    const auto turnedDown = [&] {
        return backend->desktopBinding(carbonK, control | option) == DesktopBinding::refused(Refusal::cancelled);
    };
    const auto first = backend->registerHotKey(carbonK, control | option, 1);
    ASSERT_TRUE(first.succeeded());
    ASSERT_TRUE(QTest::qWaitFor(turnedDown, 5000));
    EXPECT_EQ(portal.binds(), 1);

    const auto again = backend->registerHotKey(carbonK, control | option, 2);
    EXPECT_TRUE(turnedDown()) << "still registered: the answer stands";
    backend->unregisterHotKey(first.ref);
    backend->unregisterHotKey(again.ref);
    ASSERT_TRUE(backend->registerHotKey(carbonK, control | option, 3).succeeded());
    EXPECT_FALSE(backend->desktopBinding(carbonK, control | option)) << "the old answer was kept";
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.binds() == 2 && turnedDown(); }, 5000)) << "not asked again";
    backend.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.closedSessions() == 2; }, 5000));
}

// Clearing a shortcut lets go of it on the desktop's side: GNOME forgets the keys it saved,
// KDE's key daemon the action, and no session holds it, so that its keys are free again in
// every program; the keys recorded next, in this run or the next, are asked about rather than
// bound to the cleared ones.
TEST(PortalHotKeys, AClearedShortcutIsLetGoOnTheDesktopsSideAndTheNextKeysAreAsked)
{
    if (!GnomeSettingsInMemory::isReady())
        GTEST_SKIP() << "glib-compile-schemas is not installed or failed";
    const struct {
        const char *name;
        bool inTheNextRun;
    } rows[] = {{"keys recorded in the same run", false}, {"keys recorded in the next run", true}};
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal(gnomeThatSavedCtrlAltK());
        ASSERT_TRUE(portal.isReady());
        SilentKeyDaemon keyDaemon;
        ASSERT_TRUE(keyDaemon.isReady());
        StoredKeys stored;
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        const auto start = [&] {
            return std::make_unique<PortalHotKeys>(QDBusConnection::sessionBus(), *layout, notifications, kept,
                                                   QStringLiteral("vantora_test"), stored.action(), PortalDesktop::gnome,
                                                   PortalDeadlines{45s, 1s});
        };
        auto backend = start();
        const auto first = backend->registerHotKey(carbonK, control | option, 1);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return backend->desktopBinding(carbonK, control | option) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")); },
            5000));
        EXPECT_EQ(portal.asked(), 0);

        // The person clears it; once the desktop has taken the clear (the key daemon's calls
        // unanswered), nothing of it is kept for the next run.
        stored.carbonKeyCode.reset();
        backend->unregisterHotKey(first.ref);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return portal.closedSessions() == 1 && !isSavedInGnomeSettings(toggleLights.id)
                    && keyDaemon.wasToldToForget(toggleLights.id) && kept.keys().isEmpty();
            },
            5000))
            << "held on the desktop's side: " << portal.closedSessions() << " sessions closed, GNOME's settings "
            << vantora::testing::gnome::saved("vantora_test").toStdString();
        const qsizetype forgets = keyDaemon.timesToldToForget(toggleLights.id);
        if (row.inTheNextRun)
            backend = start();

        stored.carbonKeyCode = carbonJ;
        ASSERT_TRUE(backend->registerHotKey(carbonJ, control | option, 2).succeeded());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return backend->desktopBinding(carbonJ, control | option) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")); },
            5000))
            << "the new keys were not bound";
        EXPECT_EQ(portal.asked(), 1) << "the new keys were not asked about";
        EXPECT_EQ(keyDaemon.timesToldToForget(toggleLights.id), forgets) << "the clear was sent again";
        backend.reset();
        waitForTheSessionToClose(portal, portal.sessions());
    }
}

// What the person asks while no portal is there (one restarting after an update, or killed) is
// taken to the next one, in this run or, where the app quits first (a logout), in the next: a
// clear is let go where GNOME and the key daemon saved it, and keys recorded anew are asked
// about, not taken for the keys GNOME saved (which would be stored over them as its choice).
TEST(PortalHotKeys, AClearOrARecordingWhileThePortalIsAwayReachesTheNextOne)
{
    if (!GnomeSettingsInMemory::isReady())
        GTEST_SKIP() << "glib-compile-schemas is not installed or failed";
    const struct {
        const char *name;
        // The keys recorded while the portal is away; none for a clear.
        std::optional<quint32> recorded;
        bool quitsFirst;
        int asked;
        int closedSessions;
    } rows[] = {
        {"cleared", std::nullopt, false, 0, 0},
        {"recorded anew", carbonJ, false, 1, 1},
        {"cleared, the app quitting before the portal is back", std::nullopt, true, 0, 0},
        {"recorded anew, the app quitting before the portal is back", carbonJ, true, 1, 1},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal(gnomeThatSavedCtrlAltK());
        ASSERT_TRUE(portal.isReady());
        SilentKeyDaemon keyDaemon;
        ASSERT_TRUE(keyDaemon.isReady());
        StoredKeys stored;
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        const auto start = [&] {
            return std::make_unique<PortalHotKeys>(QDBusConnection::sessionBus(), *layout, notifications, kept,
                                                   QStringLiteral("vantora_test"), stored.action(), PortalDesktop::gnome,
                                                   PortalDeadlines{45s, 1s});
        };
        auto backend = start();
        const auto binding = [&](quint32 carbonKeyCode) { return backend->desktopBinding(carbonKeyCode, control | option); };
        const auto first = backend->registerHotKey(carbonK, control | option, 1);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return binding(carbonK) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")); }, 5000));
        portal.leaveBus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return binding(carbonK) == DesktopBinding::serviceGone(); }, 5000));

        stored.carbonKeyCode = row.recorded;
        backend->unregisterHotKey(first.ref);
        const auto registerRecorded = [&] {
            if (row.recorded)
                ASSERT_TRUE(backend->registerHotKey(*row.recorded, control | option, 2).succeeded());
        };
        registerRecorded();
        if (row.quitsFirst) {
            backend.reset();
            portal.rejoinBus();
            backend = start();
            registerRecorded();
        } else {
            portal.rejoinBus();
        }
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return keyDaemon.wasToldToForget(toggleLights.id)
                    && (row.recorded ? binding(*row.recorded) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J"))
                                     : !isSavedInGnomeSettings(toggleLights.id));
            },
            10000))
            << "held on the desktop's side: GNOME's settings " << vantora::testing::gnome::saved("vantora_test").toStdString();
        EXPECT_EQ(portal.asked(), row.asked) << "the keys recorded were not asked about";
        backend.reset();
        waitForTheSessionToClose(portal, row.closedSessions);
    }
}

// A shortcut left unanswered past the bind's deadline is asked about again once recorded again,
// with or without a clear first, the question left open withdrawn; let go and registered again
// under the same hot key (a menu open) it is not, and the desktop's late answer stands.
TEST(PortalHotKeys, AShortcutLeftUnansweredIsAskedAgainWhenRecordedAgain)
{
    const struct {
        const char *name;
        bool clearedFirst;
        quint32 nextHotKeyId;
        int binds;
    } rows[] = {
        {"cleared, then recorded again", true, 2, 2},
        {"recorded again over itself", false, 2, 2},
        {"let go for a menu and registered again", false, 1, 1},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{}, 0, {{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}}, 2500ms});
        ASSERT_TRUE(portal.isReady());
        StoredKeys stored;
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  stored.action(), PortalDesktop::other, PortalDeadlines{1s, 1s});
            const auto binding = [&] { return backend.desktopBinding(carbonK, control | option); };
            const auto first = backend.registerHotKey(carbonK, control | option, 1);
            ASSERT_TRUE(QTest::qWaitFor([&] { return binding() == DesktopBinding::unconfirmed(); }, 2400));
            if (row.clearedFirst) {
                stored.carbonKeyCode.reset();
                backend.unregisterHotKey(first.ref);
                ASSERT_TRUE(QTest::qWaitFor([&] { return portal.closedSessions() == 1; }, 5000)) << "the clear was not sent";
                stored.carbonKeyCode = carbonK;
            } else {
                backend.unregisterHotKey(first.ref);
            }
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, row.nextHotKeyId).succeeded());
            if (row.binds == 1) {
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] { return portal.bindAnswers() == 1 && binding() == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")); },
                    5000))
                    << "the late answer was not taken";
            } else {
                EXPECT_TRUE(QTest::qWaitFor([&] { return portal.binds() == row.binds; }, 5000)) << "not asked again";
            }
            EXPECT_EQ(portal.binds(), row.binds);
            EXPECT_EQ(portal.closedRequests(), row.binds - 1) << "the question left open was not withdrawn";
        }
        waitForTheSessionToClose(portal, portal.sessions());
    }
}

// What the desktop tells of a shortcut's keys while it asks, and does not answer for it, stands
// past the bind's deadline: keys a person set in GNOME's settings are neither overwritten as
// unconfirmed nor forgotten when they come to be stored, and the question stays open. Keys it
// tells of the shortcut it asks about are its answer to the keys recorded, not its own choice.
TEST(PortalHotKeys, WhatTheDesktopToldDuringAQuestionOutlastsTheDeadline)
{
    if (!GnomeSettingsInMemory::isReady())
        GTEST_SKIP() << "glib-compile-schemas is not installed or failed";
    constexpr quint32 carbonM = 46;
    const PortalAction showApp{QStringLiteral("showVantora"), QStringLiteral("Show or hide app")};
    const PortalActionOfKeys twoActions = [&](quint32 carbonKeyCode, quint32) -> std::optional<PortalAction> {
        return carbonKeyCode == carbonK ? toggleLights : showApp;
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    saveInGnomeSettings({showApp.id});
    // The person changed showApp's keys in GNOME's settings to Ctrl+Alt+M; GNOME asks about toggleLights.
    DesktopAnswers answers{{{showApp.id, QStringLiteral("Press <Control><Alt>m")}},
                           0,
                           {{toggleLights.id, QStringLiteral("Press <Control><Alt>k")}},
                           2500ms};
    answers.likeGnome = true;
    StandInPortal portal(answers);
    ASSERT_TRUE(portal.isReady());
    {
        runtime::NotificationCenter notifications;
        runtime::MemoryUserDefaults kept;
        PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                              twoActions, PortalDesktop::gnome, PortalDeadlines{1s, 1s});
        const auto showOnJ = backend.registerHotKey(carbonJ, control | option, 1);
        ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 2).succeeded());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return backend.desktopBinding(carbonK, control | option) == DesktopBinding::unconfirmed(); }, 2400));
        EXPECT_EQ(backend.desktopBinding(carbonJ, control | option),
                  DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+M")));

        // GNOME's keys come to be stored: registered in place of the old ones.
        backend.unregisterHotKey(showOnJ.ref);
        ASSERT_TRUE(backend.registerHotKey(carbonM, control | option, 3).succeeded());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return backend.desktopBinding(carbonK, control | option) == DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K"));
            },
            5000))
            << "the late answer was not taken";
        EXPECT_EQ(backend.desktopBinding(carbonM, control | option), DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+M")));
        EXPECT_EQ(portal.sessions(), 1) << "GNOME's keys were taken for keys recorded anew";
        EXPECT_EQ(portal.asked(), 1);
        EXPECT_TRUE(isSavedInGnomeSettings(showApp.id)) << "the keys the person set in GNOME's settings were forgotten";
    }
    waitForTheSessionToClose(portal);
}

// Another desktop that tells other keys for the shortcut it asks about gives its answer to the
// keys recorded, which the page explains, not keys it chose itself: while it asks, and past the
// bind's deadline, while the shortcut's question is still open.
TEST(PortalHotKeys, KeysToldForTheShortcutAskedAboutAreTheDesktopsAnswer)
{
    const struct {
        const char *name;
        DesktopBinding toldDuring;
    } rows[] = {
        {"told while it asks", DesktopBinding::asking()},
        {"told past the bind's deadline", DesktopBinding::unconfirmed()},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal({{}, 0, {}, 2500ms});
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction, PortalDesktop::other, PortalDeadlines{1s, 1s});
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            const auto binding = [&] { return backend.desktopBinding(carbonK, control | option); };
            ASSERT_TRUE(QTest::qWaitFor([&] { return binding() == row.toldDuring; }, 2400));
            portal.changeShortcuts({{toggleLights.id, QStringLiteral("Ctrl+Alt+J")}});
            ASSERT_TRUE(QTest::qWaitFor([&] { return binding() != row.toldDuring; }, 2400)) << "the change was not taken";
            EXPECT_EQ(binding(), DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+J")));
            EXPECT_EQ(portal.bindAnswers(), 0) << "the desktop had answered already";
        }
        waitForTheSessionToClose(portal);
    }
}

// A desktop slow to answer (a loaded machine, a first start of its settings, a portal starting
// at login) is waited for, as a bind is: no clock turns the wait into "bound nothing" or "holds
// nothing", which would ask the desktop again (Plasma opens its shortcut settings), nor our id
// into one the portal never stated, whatever the deadline of the services beside it.
TEST(PortalHotKeys, ADesktopSlowToAnswerIsWaitedFor)
{
    const QList<std::pair<QString, QString>> ctrlAltK{{toggleLights.id, QStringLiteral("Ctrl+Alt+K")}};
    const DesktopBinding boundToK = DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K"));
    const struct {
        const char *name;
        DesktopAnswers answers;
        DesktopBinding expected;
        int binds;
    } rows[] = {
        {"a slow CreateSession", {.bound = ctrlAltK, .sessionDelay = 1500ms}, boundToK, 1},
        {"a slow ListShortcuts of what the desktop holds", {.held = ctrlAltK, .bound = ctrlAltK, .listDelay = 1500ms},
         boundToK, 0},
        {"a slow reply to CreateSession", {.bound = ctrlAltK, .slowMethod = QStringLiteral("CreateSession"), .slowReply = 1500ms},
         boundToK, 1},
        {"a slow reply to ListShortcuts",
         {.held = ctrlAltK, .bound = ctrlAltK, .slowMethod = QStringLiteral("ListShortcuts"), .slowReply = 1500ms}, boundToK, 0},
        {"a slow reply to BindShortcuts", {.bound = ctrlAltK, .slowMethod = QStringLiteral("BindShortcuts"), .slowReply = 1500ms},
         boundToK, 1},
        {"a registry slow to turn our id down",
         {.bindResponse = 2, .identity = PortalIdentity::refused, .slowMethod = QStringLiteral("Register"), .slowReply = 1500ms},
         DesktopBinding::refused(Refusal::noApplicationId), 1},
    };
    const auto layout = XkbKeyboardLayout::fromNames("us");
    ASSERT_TRUE(layout);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StandInPortal portal(row.answers);
        ASSERT_TRUE(portal.isReady());
        {
            runtime::NotificationCenter notifications;
            runtime::MemoryUserDefaults kept;
            PortalHotKeys backend(QDBusConnection::sessionBus(), *layout, notifications, kept, QStringLiteral("vantora_test"),
                                  theAction, PortalDesktop::other, PortalDeadlines{45s, 1s});
            ASSERT_TRUE(backend.registerHotKey(carbonK, control | option, 1).succeeded());
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    const auto binding = backend.desktopBinding(carbonK, control | option);
                    return binding && binding->state != DesktopBinding::State::asking;
                },
                5000));
            EXPECT_EQ(backend.desktopBinding(carbonK, control | option), row.expected);
            EXPECT_EQ(portal.binds(), row.binds);
        }
        waitForTheSessionToClose(portal);
    }
}

// Every outcome a step may come to (by its action, its answer or an event) has a row in the
// session's table, and every step is reached from the start: an outcome without a row would
// leave the session where it was without a word.
TEST(PortalSessionTable, EveryOutcomeOfEveryStepReachedHasARow)
{
    using Session = PortalHotKeys::Session;
    std::set<Session::Step> reached{Session::Step::noPortal};
    std::vector<Session::Step> toWalk{Session::Step::noPortal};
    while (!toWalk.empty()) {
        const Session::Step step = toWalk.back();
        toWalk.pop_back();
        for (const Session::Outcome outcome : Session::outcomesOf(step)) {
            const auto next = Session::following(step, outcome);
            EXPECT_TRUE(next) << "no row for step " << int(step) << " and outcome " << int(outcome);
            if (next && reached.insert(*next).second)
                toWalk.push_back(*next);
        }
    }
    EXPECT_EQ(reached.size(), std::size_t(Session::Step::concluding) + 1) << "a step that no outcome leads to";
}
