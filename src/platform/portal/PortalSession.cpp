#include "platform/portal/PortalSession.h"

#include "runtime/NotificationCenter.h"

#include <chrono>
#include <utility>

namespace vantora::platform {

namespace {

using Step = PortalHotKeys::Session::Step;
using Outcome = PortalHotKeys::Session::Outcome;

// A desktop that binds at once answers within a few tens of milliseconds; one still silent
// after this is asking the user.
constexpr auto askingAfter = std::chrono::milliseconds(500);

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

using Session = PortalHotKeys::Session;

Session::Session(const QDBusConnection &bus, const XkbKeyboardLayout &layout,
                                runtime::NotificationCenter &notifications, runtime::UserDefaults &kept, const QString &sessionToken,
                                PortalActionOfKeys actionOfKeys, PortalDesktop desktop, PortalDeadlines deadlines)
    : m_bus(bus)
    , m_notifications(notifications)
    , m_records(layout, kept, std::move(actionOfKeys), desktop)
    , m_sessionToken(objectPathElement(sessionToken))
    , m_applicationId(sessionToken)
    , m_desktop(desktop)
    , m_rules(desktop)
    , m_deadlines(deadlines)
    , m_keyDaemon(m_sessionToken, m_applicationId)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { take(m_serial, std::monostate()); });
    m_askingTimer.setSingleShot(true);
    m_askingTimer.setInterval(askingAfter);
    connect(&m_askingTimer, &QTimer::timeout, this, [this] { m_notifications.post(desktopTriggersDidChange); });
    // Registrations come in bursts (both shortcuts at start, one out and one in after a
    // recording): they are taken together on the next turn.
    m_wantedTimer.setSingleShot(true);
    m_wantedTimer.setInterval(0);
    connect(&m_wantedTimer, &QTimer::timeout, this, [this] {
        if (m_step != Step::idle)
            return;
        if (const auto outcome = startRound())
            go(*outcome);
    });
    connect(&m_bus, &PortalBus::portalCame, this, [this] { go(Outcome::portalCame); });
    connect(&m_bus, &PortalBus::portalWent, this, &Session::onPortalWent);
    connect(&m_bus, &PortalBus::sessionClosed, this, &Session::onSessionClosed);
    connect(&m_bus, &PortalBus::shortcutsChanged, this, &Session::onShortcutsChanged);
    connect(&m_bus, &PortalBus::activated, this, [this](const QString &shortcutId) {
        const auto hotKey = m_records.hotKeyOf(shortcutId);
        // Activated again while held: the desktop repeating the key.
        if (!hotKey || m_held.contains(shortcutId))
            return;
        m_held.emplace(shortcutId, *hotKey);
        deliver({HotKeyEvent::Kind::pressed, *hotKey});
    });
    connect(&m_bus, &PortalBus::deactivated, this, [this](const QString &shortcutId) {
        if (auto held = m_held.extract(shortcutId))
            deliver({HotKeyEvent::Kind::released, held.mapped()});
    });
}

Session::~Session() = default;

HotKeyRegistration Session::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
{
    const HotKeyRegistration registration = m_records.registerHotKey(carbonKeyCode, carbonModifiers, hotKeyId);
    if (registration.succeeded())
        m_wantedTimer.start();
    return registration;
}

void Session::unregisterHotKey(HotKeyRef ref)
{
    if (m_records.unregisterHotKey(ref))
        m_wantedTimer.start();
}

void Session::actionsChanged()
{
    m_wantedTimer.start();
}

std::optional<DesktopBinding> Session::desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
{
    const PortalSessionState state = m_isPortalGone ? PortalSessionState::portalGone
        : isAsking()                                ? PortalSessionState::asking
                                                    : PortalSessionState::working;
    return m_records.desktopBinding(carbonKeyCode, carbonModifiers, state);
}

// A portal that leaves (a crash, an upgrade) has forgotten our session and our id; what the
// desktop saved, it still holds, so asking the next one again asks nobody twice.
void Session::onPortalWent()
{
    // Its backends may still hold the session it opened, or one it was opening or closing, on
    // the path every session of ours takes.
    m_orphaned = m_bus.session();
    if (m_orphaned.isEmpty() && (m_step == Step::creatingSession || m_step == Step::closingSession))
        m_orphaned = m_bus.sessionPath(m_sessionToken);
    // Until a portal is back, presses do nothing: the page says so.
    m_isPortalGone = m_bus.portal().isEmpty();
    if (abandonSession() || m_isPortalGone)
        m_notifications.post(desktopTriggersDidChange);
    m_toldPortal.clear();
    go(Outcome::portalWent);
}

// The desktop ended our session (its settings were reset, it closed it for its own reasons):
// a new one takes the shortcuts again.
void Session::onSessionClosed()
{
    if (abandonSession())
        m_notifications.post(desktopTriggersDidChange);
    go(Outcome::sessionClosed);
}

// Calls `method` of the portal; its Response, or a failure where the call fails, is taken as
// the answer to the step under way, or as the late answer where the bind is left past its
// deadline.
void Session::request(const QString &method, const QVariantList &arguments, const QVariantMap &options)
{
    if (const QPointer<PortalRequest> previous = std::exchange(m_request, nullptr))
        previous->deleteLater();
    m_request = m_bus.request(method, arguments, options, QStringLiteral("vantora%1").arg(m_serial),
                              [this, serial = m_serial](const PortalResponse &response) {
                                  if (!m_lateBind || serial != m_lateBind->serial)
                                      return take(serial, response);
                                  dropLateBind();
                                  go(answerBind(response));
                              });
}

void Session::callPortal(const QList<QDBusMessage> &calls)
{
    m_bus.callPortal(calls, [this, serial = m_serial](const QList<QDBusMessage> &replies) { take(serial, replies); });
}

void Session::callServices(const QList<QDBusMessage> &calls)
{
    m_bus.callServices(calls, m_deadlines.other,
                       [this, serial = m_serial](const QList<QDBusMessage> &replies) { take(serial, replies); });
}

bool Session::isAsking() const
{
    return m_step == Step::binding && !m_askingTimer.isActive();
}

// Whether the desktop was asking the user; the answer that ends the question tells.
bool Session::stopAsking()
{
    const bool wasAsking = isAsking();
    m_askingTimer.stop();
    return wasAsking;
}

// Forgets the session and drops what was under way, without an answer: the portal that held
// them is gone, or ended the session itself. What the desktop said stays until it says
// otherwise (read as the service gone while no portal is on the bus), and so does what it may
// hold; a question it was asking is no longer asked. Whether it was asking: the caller tells
// the page, once nothing reads as asked any more.
bool Session::abandonSession()
{
    const bool wasAsking = stopAsking();
    dropLateBind();
    if (const QPointer<PortalRequest> request = std::exchange(m_request, nullptr))
        request->deleteLater();
    followSession({});
    // What was offered to the session goes with it; what the desktop may hold stays.
    for (auto &[id, record] : m_records.byId)
        record.offer.reset();
    m_round = {};
    return wasAsking;
}

// A bind past its deadline is withdrawn before a new session asks anew, which ends the
// desktop's window for it where the desktop follows that; GNOME 48 leaves its window open,
// beside the one it opens for the new question.
void Session::closeLateQuestion()
{
    if (m_lateBind)
        m_bus.withdraw(m_lateBind->request);
    dropLateBind();
}

void Session::dropLateBind()
{
    if (auto late = std::exchange(m_lateBind, std::nullopt); late && late->request)
        late->request->deleteLater();
}

// The keys held in the session let go of are released: the release the desktop sends there is
// no longer heard, and a shortcut held would run for ever.
void Session::followSession(const QString &handle)
{
    m_bus.followSession(handle);
    for (const auto &[id, hotKey] : std::exchange(m_held, {}))
        deliver({HotKeyEvent::Kind::released, hotKey});
}

void Session::deliver(const HotKeyEvent &event)
{
    if (m_attached && m_handler)
        m_handler(event);
}

} // namespace vantora::platform
