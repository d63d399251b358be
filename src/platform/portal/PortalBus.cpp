#include "platform/portal/PortalBus.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>

#include <utility>

namespace vantora::platform {

namespace {

const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString busService = QStringLiteral("org.freedesktop.DBus");
const QString busPath = QStringLiteral("/org/freedesktop/DBus");

// The longest description of the desktop's we read: a sentence around a few triggers, not a story.
constexpr qsizetype longestTrigger = 256;

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

} // namespace

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

QString preferredTrigger(const PortalShortcut &shortcut)
{
    return shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
}

DesktopTriggers reportedTriggers(const QVariant &shortcuts)
{
    DesktopTriggers triggers;
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

QString sessionHandleOf(const QVariantMap &results)
{
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    if (handle.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return handle.value<QDBusObjectPath>().path();
    return handle.metaType() == QMetaType::fromType<QString>() ? handle.toString() : QString();
}

PortalRequest::PortalRequest(const QDBusConnection &bus, const QString &path, Answer answer, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_answer(std::move(answer))
{
    follow(path);
}

void PortalRequest::follow(const QString &path)
{
    if (!m_path.isEmpty())
        m_bus.disconnect(portalService, m_path, requestInterface, QStringLiteral("Response"), this,
                         SLOT(onResponse(QDBusMessage)));
    m_path = path;
    m_bus.connect(portalService, path, requestInterface, QStringLiteral("Response"), this, SLOT(onResponse(QDBusMessage)));
}

void PortalRequest::fail()
{
    // A copy: the answer may delete this request.
    const Answer answer = m_answer;
    answer({});
}

void PortalRequest::onResponse(const QDBusMessage &message)
{
    if (message.signature() != QLatin1String("ua{sv}"))
        return fail();
    const Answer answer = m_answer;
    answer({message.arguments()[0].toUInt(), qdbus_cast<QVariantMap>(message.arguments()[1])});
}

PortalBus::PortalBus(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_portalWatch(portalService, m_bus, QDBusServiceWatcher::WatchForOwnerChange)
    , m_portalContext(std::make_unique<QObject>())
{
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
            [this](const QString &, const QString &oldOwner, const QString &newOwner) { takeOwner(oldOwner, newOwner); });
    QDBusMessage owner = QDBusMessage::createMethodCall(busService, busPath, busService, QStringLiteral("GetNameOwner"));
    owner.setArguments({portalService});
    auto *answer = new QDBusPendingCallWatcher(m_bus.asyncCall(owner, untilAnswered), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this, answer] {
        answer->deleteLater();
        const QDBusPendingReply<QString> name = *answer;
        if (!name.isError())
            takeOwner({}, name.value());
    });
}

PortalBus::~PortalBus()
{
    if (!m_session.isEmpty())
        m_bus.asyncCall(sessionCall(QStringLiteral("Close")));
}

// A portal that leaves (a crash, an upgrade) has forgotten every request asked of it: their
// answers will not come, and one that took its place knows nothing of them.
void PortalBus::takeOwner(const QString &oldOwner, const QString &newOwner)
{
    if (oldOwner.isEmpty()) {
        if (!m_portal.isEmpty() || newOwner.isEmpty())
            return;
        m_portal = newOwner;
        Q_EMIT portalCame();
        return;
    }
    m_portal = newOwner;
    m_portalContext = std::make_unique<QObject>();
    Q_EMIT portalWent();
}

QPointer<PortalRequest> PortalBus::request(const QString &method, QVariantList arguments, QVariantMap options,
                                           const QString &token, PortalRequest::Answer answer)
{
    options.insert(QStringLiteral("handle_token"), token);
    // Subscribed before the call: the Response may come before the call's reply.
    auto *request = new PortalRequest(m_bus, pathOf(QStringLiteral("request"), token), std::move(answer), portalContext());
    arguments.append(options);
    QDBusMessage call = QDBusMessage::createMethodCall(m_portal, portalPath, shortcutsInterface, method);
    call.setArguments(arguments);
    auto *reply = new QDBusPendingCallWatcher(m_bus.asyncCall(call, untilAnswered), request);
    connect(reply, &QDBusPendingCallWatcher::finished, request, [reply, request] {
        reply->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> handle = *reply;
        if (handle.isError())
            return request->fail();
        if (handle.value().path() != request->path())
            request->follow(handle.value().path());
    });
    return request;
}

void PortalBus::withdraw(const PortalRequest *request)
{
    if (request)
        m_bus.asyncCall(QDBusMessage::createMethodCall(m_portal, request->path(), requestInterface, QStringLiteral("Close")));
}

void PortalBus::callPortal(const QList<QDBusMessage> &calls, Replies replies)
{
    collect(calls, untilAnswered, portalContext(), std::move(replies));
}

void PortalBus::callServices(const QList<QDBusMessage> &calls, std::chrono::milliseconds deadline, Replies replies)
{
    collect(calls, int(deadline.count()), this, std::move(replies));
}

void PortalBus::collect(const QList<QDBusMessage> &calls, int timeout, QObject *context, Replies replies)
{
    if (calls.isEmpty()) {
        QMetaObject::invokeMethod(context, [replies = std::move(replies)] { replies({}); }, Qt::QueuedConnection);
        return;
    }
    auto answered = std::make_shared<QList<QDBusMessage>>(calls.size());
    auto outstanding = std::make_shared<qsizetype>(calls.size());
    for (qsizetype i = 0; i < calls.size(); ++i) {
        auto *reply = new QDBusPendingCallWatcher(m_bus.asyncCall(calls[i], timeout), context);
        connect(reply, &QDBusPendingCallWatcher::finished, context, [reply, answered, outstanding, replies, i] {
            reply->deleteLater();
            (*answered)[i] = reply->reply();
            if (--*outstanding == 0)
                replies(*answered);
        });
    }
}

void PortalBus::followSession(const QString &handle)
{
    if (!m_session.isEmpty())
        m_bus.disconnect(portalService, m_session, sessionInterface, QStringLiteral("Closed"), this,
                         SLOT(onSessionClosed(QDBusMessage)));
    m_session = handle;
    if (!m_session.isEmpty())
        m_bus.connect(portalService, m_session, sessionInterface, QStringLiteral("Closed"), this,
                      SLOT(onSessionClosed(QDBusMessage)));
}

QDBusMessage PortalBus::sessionCall(const QString &method) const
{
    return QDBusMessage::createMethodCall(m_portal, m_session, sessionInterface, method);
}

void PortalBus::onActivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &)
{
    if (!m_session.isEmpty() && session.path() == m_session)
        Q_EMIT activated(shortcutId);
}

void PortalBus::onDeactivated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &)
{
    if (!m_session.isEmpty() && session.path() == m_session)
        Q_EMIT deactivated(shortcutId);
}

void PortalBus::onShortcutsChanged(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() == 2 && !m_session.isEmpty() && arguments[0].value<QDBusObjectPath>().path() == m_session)
        Q_EMIT shortcutsChanged(reportedTriggers(arguments[1]));
}

// A Closed already on its way when the session was let go is not the followed one's.
void PortalBus::onSessionClosed(const QDBusMessage &message)
{
    if (!m_session.isEmpty() && message.path() == m_session)
        Q_EMIT sessionClosed();
}

QString PortalBus::sessionPath(const QString &token) const
{
    return pathOf(QStringLiteral("session"), token);
}

QString PortalBus::pathOf(const QString &kind, const QString &token) const
{
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/%1/%2/%3").arg(kind, sender, token);
}

QDBusMessage shortcutsVersionCall()
{
    QDBusMessage get = QDBusMessage::createMethodCall(portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
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

QDBusMessage busNamesCall()
{
    return QDBusMessage::createMethodCall(busService, busPath, busService, QStringLiteral("ListNames"));
}

QList<QDBusMessage> backendCloseCalls(const QDBusMessage &names, const QString &orphan)
{
    const QDBusReply<QStringList> listed(names);
    QList<QDBusMessage> calls;
    if (orphan.isEmpty() || !listed.isValid())
        return calls;
    for (const QString &name : listed.value()) {
        if (!name.startsWith(QLatin1String("org.freedesktop.impl.portal.desktop.")))
            continue;
        QDBusMessage close = QDBusMessage::createMethodCall(name, orphan, QStringLiteral("org.freedesktop.impl.portal.Session"),
                                                            QStringLiteral("Close"));
        close.setAutoStartService(false);
        calls.append(close);
    }
    return calls;
}

} // namespace vantora::platform
