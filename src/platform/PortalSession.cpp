#include "PortalSession.h"

#include "GnomeShortcutSettings.h"

#include "runtime/NotificationCenter.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <algorithm>
#include <chrono>
#include <utility>

namespace vantora::platform {

namespace {

using Step = PortalHotKeys::Session::Step;
using Outcome = PortalHotKeys::Session::Outcome;

// A desktop that binds at once answers within a few tens of milliseconds; one still silent
// after this is asking the user.
constexpr auto askingAfter = std::chrono::milliseconds(500);

struct Transition {
    // None: from any step.
    std::optional<Step> from;
    Outcome outcome;
    Step to;
};

// The session's diagram. A round binds the wanted shortcuts in a new session: it closes the old
// one, tells a new portal our id, forgets where the desktop saved them the keys of shortcuts
// recorded anew or cleared, opens the session, lists what the desktop holds, asks it to bind the
// rest, checks with Plasma's key daemon, and tells the desktop's word. A portal that goes ends
// whatever was under way: the session it held is closed in its backends, and the next portal
// binds anew.
constexpr Transition transitions[] = {
    {Step::noPortal, Outcome::portalCame, Step::idle},
    {Step::idle, Outcome::roundWanted, Step::closingSession},
    {Step::closingSession, Outcome::done, Step::tellingId},
    {Step::tellingId, Outcome::done, Step::forgettingSavedKeys},
    {Step::forgettingSavedKeys, Outcome::done, Step::forgettingInKeyDaemon},
    {Step::forgettingInKeyDaemon, Outcome::done, Step::creatingSession},
    {Step::creatingSession, Outcome::done, Step::listing},
    {Step::creatingSession, Outcome::nothingToBind, Step::concluding},
    {Step::creatingSession, Outcome::refused, Step::concluding},
    {Step::listing, Outcome::holdsAll, Step::listingKeyDaemonActions},
    {Step::listing, Outcome::lacksSome, Step::binding},
    {Step::binding, Outcome::answered, Step::listingKeyDaemonActions},
    {Step::binding, Outcome::turnedDown, Step::closingSession},
    {Step::binding, Outcome::unanswered, Step::concluding},
    // The desktop's late answer to a bind past its deadline, taken as one in time.
    {Step::idle, Outcome::answered, Step::listingKeyDaemonActions},
    {Step::idle, Outcome::turnedDown, Step::closingSession},
    {Step::listingKeyDaemonActions, Outcome::done, Step::checkingKeyDaemonKeys},
    {Step::listingKeyDaemonActions, Outcome::unknownToKeyDaemon, Step::concluding},
    {Step::checkingKeyDaemonKeys, Outcome::done, Step::concluding},
    {Step::concluding, Outcome::done, Step::idle},
    {std::nullopt, Outcome::sessionClosed, Step::idle},
    {std::nullopt, Outcome::portalWent, Step::findingBackends},
    {Step::findingBackends, Outcome::done, Step::closingOrphan},
    {Step::closingOrphan, Outcome::done, Step::idle},
    {Step::closingOrphan, Outcome::noPortal, Step::noPortal},
};

// The step that follows `step` given what it came to; none for an outcome it does not take.
std::optional<Step> nextStep(Step step, Outcome outcome)
{
    const auto found = std::find_if(std::begin(transitions), std::end(transitions), [&](const Transition &transition) {
        return transition.outcome == outcome && (!transition.from || *transition.from == step);
    });
    return found == std::end(transitions) ? std::nullopt : std::optional(found->to);
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

PortalHotKeys::Session::Session(const QDBusConnection &bus, const XkbKeyboardLayout &layout,
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

PortalHotKeys::Session::~Session() = default;

HotKeyRegistration PortalHotKeys::Session::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
{
    const HotKeyRegistration registration = m_records.registerHotKey(carbonKeyCode, carbonModifiers, hotKeyId);
    if (registration.succeeded())
        m_wantedTimer.start();
    return registration;
}

void PortalHotKeys::Session::unregisterHotKey(HotKeyRef ref)
{
    if (m_records.unregisterHotKey(ref))
        m_wantedTimer.start();
}

void PortalHotKeys::Session::actionsChanged()
{
    m_wantedTimer.start();
}

std::optional<DesktopBinding> PortalHotKeys::Session::desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
{
    const PortalSessionState state = m_isPortalGone ? PortalSessionState::portalGone
        : isAsking()                                ? PortalSessionState::asking
                                                    : PortalSessionState::working;
    return m_records.desktopBinding(carbonKeyCode, carbonModifiers, state);
}

// The one place a step is left: the table says which follows, and a step that needs no answer
// (nothing to ask, or already known) comes to its outcome at once.
void PortalHotKeys::Session::go(Outcome outcome)
{
    std::optional<Outcome> now = outcome;
    while (now) {
        const std::optional<Step> next = nextStep(m_step, *now);
        if (!next)
            return;
        enter(*next);
        now = begin(*next);
    }
}

// Of the steps that wait for the portal, only a bind has a deadline, past which the desktop's
// answer is still taken: the portal answers the rest when it can (a loaded machine, a first
// start of its settings), and a portal that goes, or ends the session, ends the wait. Writing
// GNOME's settings waits for its settings service, which may be stuck.
void PortalHotKeys::Session::enter(Step step)
{
    m_step = step;
    ++m_serial;
    if (step == Step::binding)
        m_deadline.start(m_deadlines.binding);
    else if (step == Step::forgettingSavedKeys)
        m_deadline.start(m_deadlines.other);
    else
        m_deadline.stop();
}

std::optional<Outcome> PortalHotKeys::Session::begin(Step step)
{
    switch (step) {
    case Step::noPortal:
        return std::nullopt;
    case Step::idle:
        return startRound();
    case Step::findingBackends:
        if (m_orphaned.isEmpty())
            return Outcome::done;
        callServices({busNamesCall()});
        return std::nullopt;
    case Step::closingOrphan:
        callServices(std::exchange(m_orphanCloses, {}));
        return std::nullopt;
    case Step::closingSession:
        // A desktop may refuse a session on the path of one it has not closed yet.
        callPortal(m_bus.session().isEmpty() ? QList<QDBusMessage>()
                                             : QList<QDBusMessage>{m_bus.sessionCall(QStringLiteral("Close"))});
        followSession({});
        return std::nullopt;
    case Step::tellingId:
        return tellOurId();
    case Step::forgettingSavedKeys:
        return forgetSavedKeys();
    case Step::forgettingInKeyDaemon:
        callServices(forgetInKeyDaemonCalls());
        return std::nullopt;
    case Step::creatingSession:
        return createSession();
    case Step::listing:
        request(QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(m_bus.session()))}, {});
        return std::nullopt;
    case Step::binding:
        bind();
        return std::nullopt;
    case Step::listingKeyDaemonActions:
        callServices(keyDaemonActionsCalls());
        return std::nullopt;
    case Step::checkingKeyDaemonKeys: {
        QList<QDBusMessage> calls;
        for (const QString &id : std::as_const(m_round.checked))
            calls.append(keyDaemonCall(QStringLiteral("shortcut"),
                                       {QStringList{m_round.keyDaemonComponent, id, QString(), QString()}}));
        callServices(calls);
        return std::nullopt;
    }
    case Step::concluding:
        return conclude();
    }
    return std::nullopt;
}

// What the step under way came to, from its answer. A deadline passed reads as calls unanswered,
// or, for a bind, as the desktop not answering yet.
PortalHotKeys::Session::Outcome PortalHotKeys::Session::read(Step step, const Answer &answer)
{
    const auto *replies = std::get_if<QList<QDBusMessage>>(&answer);
    const auto *response = std::get_if<PortalResponse>(&answer);
    switch (step) {
    case Step::findingBackends:
        m_orphanCloses = backendCloseCalls(replies ? replies->value(0) : QDBusMessage(), m_orphaned);
        return Outcome::done;
    case Step::closingOrphan:
        m_orphaned.clear();
        return m_bus.portal().isEmpty() ? Outcome::noPortal : Outcome::done;
    case Step::tellingId: {
        const auto *identity = std::get_if<PortalIdentity>(&answer);
        m_identity = identity ? *identity : PortalIdentity::unstated;
        m_toldPortal = m_bus.portal();
        if (m_identity == PortalIdentity::registered)
            qInfo("vantora: the desktop's shortcut portal knows this program as %s", qPrintable(m_applicationId));
        return Outcome::done;
    }
    case Step::forgettingInKeyDaemon:
        m_records.forgetCleared(m_round.cleared);
        return Outcome::done;
    case Step::creatingSession:
        return takeSession(response ? *response : PortalResponse());
    case Step::listing: {
        const bool holdsAll = m_records.takeHeld(response && response->code == portalResponse::success
                                                     ? reportedTriggers(response->results.value(QStringLiteral("shortcuts")))
                                                     : DesktopTriggers());
        return holdsAll ? Outcome::holdsAll : Outcome::lacksSome;
    }
    case Step::binding:
        return response ? answerBind(*response) : leaveBindUnconfirmed();
    case Step::listingKeyDaemonActions:
        return checkKeysWithKeyDaemon(replies ? *replies : QList<QDBusMessage>());
    case Step::checkingKeyDaemonKeys:
        takeKeyDaemonKeys(replies ? *replies : QList<QDBusMessage>());
        return Outcome::done;
    case Step::noPortal:
    case Step::idle:
    case Step::closingSession:
    case Step::forgettingSavedKeys:
    case Step::concluding:
        return Outcome::done;
    }
    return Outcome::done;
}

void PortalHotKeys::Session::take(Serial serial, const Answer &answer)
{
    if (serial == m_serial)
        go(read(m_step, answer));
}

// Each action keeps one id whatever its keys, so the desktop lists it once; the ids left out
// are no longer ours: their presses are dropped.
std::optional<Outcome> PortalHotKeys::Session::startRound()
{
    auto plan = m_records.planRound();
    if (!plan) {
        // A portal back that has nothing to bind has given its word all the same.
        if (std::exchange(m_isPortalGone, false))
            m_notifications.post(desktopTriggersDidChange);
        return std::nullopt;
    }
    m_round = Round{std::move(plan->shortcuts), std::move(plan->cleared), std::move(plan->forgotten)};
    // The new session asks anew what a bind past its deadline asked.
    closeLateQuestion();
    return Outcome::roundWanted;
}

Outcome PortalHotKeys::Session::conclude()
{
    m_records.concludeRound(m_round.missing);
    m_isPortalGone = false;
    m_notifications.post(desktopTriggersDidChange);
    return Outcome::done;
}

// A portal that leaves (a crash, an upgrade) has forgotten our session and our id; what the
// desktop saved, it still holds, so asking the next one again asks nobody twice.
void PortalHotKeys::Session::onPortalWent()
{
    m_orphaned = m_bus.session();
    // Until a portal is back, presses do nothing: the page says so.
    m_isPortalGone = m_bus.portal().isEmpty();
    if (abandonSession() || m_isPortalGone)
        m_notifications.post(desktopTriggersDidChange);
    m_toldPortal.clear();
    go(Outcome::portalWent);
}

// The desktop ended our session (its settings were reset, it closed it for its own reasons):
// a new one takes the shortcuts again.
void PortalHotKeys::Session::onSessionClosed()
{
    if (abandonSession())
        m_notifications.post(desktopTriggersDidChange);
    go(Outcome::sessionClosed);
}

void PortalHotKeys::Session::onShortcutsChanged(const DesktopTriggers &triggers)
{
    if (m_records.takeChange(triggers))
        m_notifications.post(desktopTriggersDidChange);
}

void PortalHotKeys::Session::onLateAnswer(Serial serial, const PortalResponse &response)
{
    if (!m_lateBind || serial != m_lateBind->serial || m_step != Step::idle)
        return;
    dropLateBind();
    go(answerBind(response));
}

// Before the first request to each portal: the desktop binds shortcuts for a program it knows
// by its id, and names them by it.
std::optional<Outcome> PortalHotKeys::Session::tellOurId()
{
    if (m_toldPortal == m_bus.portal())
        return Outcome::done;
    tellPortalOurId(m_bus.connection(), m_bus.portal(), m_applicationId, m_bus.portalContext(),
                    [this, serial = m_serial](PortalIdentity identity) { take(serial, identity); });
    return std::nullopt;
}

// GNOME's settings are written off the GUI thread (the settings service may be stuck); a write
// past the step's deadline is not waited for.
std::optional<Outcome> PortalHotKeys::Session::forgetSavedKeys()
{
    if (m_identity != PortalIdentity::registered || m_round.forgotten.empty())
        return Outcome::done;
    forgetGnomeShortcuts(m_applicationId, m_round.forgotten, this,
                         [this, serial = m_serial] { take(serial, QList<QDBusMessage>()); });
    return std::nullopt;
}

// The key daemon's verb for letting go of an action for good, rather than leaving it inactive.
QList<QDBusMessage> PortalHotKeys::Session::forgetInKeyDaemonCalls() const
{
    QList<QDBusMessage> calls;
    for (const QString &id : m_round.forgotten) {
        for (const QString &component : keyDaemonComponents())
            calls.append(keyDaemonCall(QStringLiteral("unregister"), {component, id}));
    }
    return calls;
}

std::optional<Outcome> PortalHotKeys::Session::createSession()
{
    if (m_round.shortcuts.isEmpty())
        return Outcome::nothingToBind;
    m_records.offersSent();
    request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), m_sessionToken},
             // Desktops that bind only at creation read the list here.
             {QStringLiteral("shortcuts"), QVariant::fromValue(m_round.shortcuts)}});
    return std::nullopt;
}

Outcome PortalHotKeys::Session::takeSession(const PortalResponse &response)
{
    followSession(response.code == portalResponse::success ? sessionHandleOf(response.results) : QString());
    if (!m_bus.session().isEmpty())
        return Outcome::done;
    m_round.missing = DesktopBinding::refused(m_rules.refusalOf(response.code, m_identity, false));
    return Outcome::refused;
}

void PortalHotKeys::Session::bind()
{
    m_records.openQuestions();
    m_askingTimer.start();
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_bus.session())), QVariant::fromValue(m_round.shortcuts), QString()}, {});
}

// Only the desktop's answer says no. What it held before it asked stays bound whatever it
// answers: GNOME's window lists every shortcut of the session, and a No there is a No to the
// shortcuts it asked about. The shortcuts it lists as bound count, whatever the code: GNOME 48
// answers "failed" together with the shortcut it bound.
Outcome PortalHotKeys::Session::answerBind(const PortalResponse &response)
{
    stopAsking();
    DesktopTriggers bound = reportedTriggers(response.results.value(QStringLiteral("shortcuts")));
    std::erase_if(bound, [](const auto &entry) { return entry.second.isEmpty(); });
    m_records.takeBound(bound);
    m_round.missing = DesktopBinding::refused(response.code == portalResponse::success
                                                  ? DesktopBinding::Refusal::unexplained
                                                  : m_rules.refusalOf(response.code, m_identity, bound.empty()));
    if (bound.empty() && m_round.missing == DesktopBinding::refused(DesktopBinding::Refusal::cancelled)
        && bindAgainWhatGnomeSaved())
        return Outcome::turnedDown;
    return Outcome::answered;
}

// A person may take their time in the desktop's window (reading it with a screen reader,
// stepping away): past the deadline the shortcuts asked about are not confirmed, and the
// request stays followed for the desktop's late answer.
Outcome PortalHotKeys::Session::leaveBindUnconfirmed()
{
    stopAsking();
    m_records.leaveQuestionsLate();
    m_lateBind = LateBind{m_serial, std::exchange(m_request, nullptr)};
    m_round.missing = DesktopBinding::unconfirmed();
    return Outcome::unanswered;
}

// GNOME lists nothing of a new session before it binds, then binds the keys it saved without
// asking and asks about the rest; a No there binds none of the session's shortcuts (see
// PortalAnswerRules::boundAgainAfterNo). Those it saved are bound again alone, in a new
// session. Once: a second No is final.
bool PortalHotKeys::Session::bindAgainWhatGnomeSaved()
{
    if (m_round.isBoundAgain)
        return false;
    const std::set<QString> savedInGnome = m_desktop == PortalDesktop::gnome && m_identity == PortalIdentity::registered
        ? gnomeSavedShortcuts(m_applicationId)
        : std::set<QString>();
    QStringList asked;
    for (const PortalShortcut &shortcut : std::as_const(m_round.shortcuts))
        asked.append(shortcut.id);
    const std::set<QString> again = m_records.boundAgainAfterNo(asked, savedInGnome);
    if (again.empty())
        return false;
    PortalShortcuts bound;
    for (const PortalShortcut &shortcut : std::as_const(m_round.shortcuts)) {
        if (again.contains(shortcut.id))
            bound.append(shortcut);
        else
            m_records.decline(shortcut.id);
    }
    m_round.shortcuts = bound;
    m_round.isBoundAgain = true;
    return true;
}

// Plasma's portal answers with the keys it was asked for even where its key daemon gave them
// to another program first, and those never fire. Where that daemon keeps our shortcuts under a
// name made of our session token (as it does for a program without an app id: the token itself
// under Plasma 5, "token_" and the token under Plasma 6) or of the id the portal knows us by, its
// word on their keys wins; it is not started for the question.
QList<QDBusMessage> PortalHotKeys::Session::keyDaemonActionsCalls() const
{
    QList<QDBusMessage> calls;
    for (const QString &component : keyDaemonComponents())
        calls.append(
            keyDaemonCall(QStringLiteral("allActionsForComponent"), {QStringList{component, QString(), QString(), QString()}}));
    return calls;
}

Outcome PortalHotKeys::Session::checkKeysWithKeyDaemon(const QList<QDBusMessage> &replies)
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
        m_round.keyDaemonComponent = components[i];
        m_round.checked.clear();
        for (const auto &[id, words] : m_records.wordsOfTheDesktop()) {
            if (ours.contains(id))
                m_round.checked.append(id);
        }
        return Outcome::done;
    }
    return Outcome::unknownToKeyDaemon;
}

void PortalHotKeys::Session::takeKeyDaemonKeys(const QList<QDBusMessage> &replies)
{
    for (qsizetype i = 0; i < replies.size() && i < m_round.checked.size(); ++i) {
        const QDBusReply<QList<int>> reply(replies[i]);
        const QList<int> keys = reply.isValid() ? reply.value() : QList<int>{-1};
        if (std::all_of(keys.begin(), keys.end(), [](int key) { return key == 0; }))
            m_records.markTaken(m_round.checked[i]);
    }
}

// Plasma's portal names us in its key daemon by our launcher's name when it opens a session but
// by our bare id when it binds, so its settings would list us under either, depending on what
// happened last: the daemon is told the launcher's name, which is ours.
void PortalHotKeys::Session::nameUsInKeyDaemon(const QList<QStringList> &actionIds)
{
    const QString name = QCoreApplication::applicationName();
    QList<QDBusMessage> calls;
    for (const QStringList &actionId : actionIds) {
        // An empty name of the action leaves the one the portal gave it.
        if (actionId.size() == 4 && actionId[2] != name)
            calls.append(keyDaemonCall(QStringLiteral("doRegister"), {QStringList{actionId[0], actionId[1], name, QString()}}));
    }
    if (!calls.isEmpty())
        m_bus.callServices(calls, m_deadlines.other, [](const QList<QDBusMessage> &) {});
}

// The names the desktop's key daemon may keep our shortcuts under (see keyDaemonActionsCalls).
QStringList PortalHotKeys::Session::keyDaemonComponents() const
{
    QStringList components{m_sessionToken, QStringLiteral("token_") + m_sessionToken};
    if (m_identity == PortalIdentity::registered)
        components << m_applicationId << m_applicationId + QStringLiteral(".desktop");
    return components;
}

// Calls `method` of the portal; its Response, or a failure where the call fails, is taken as
// the answer to the step under way, or as the late answer where the bind is left past its
// deadline.
void PortalHotKeys::Session::request(const QString &method, const QVariantList &arguments, const QVariantMap &options)
{
    if (const QPointer<PortalRequest> previous = std::exchange(m_request, nullptr))
        previous->deleteLater();
    m_request = m_bus.request(method, arguments, options, QStringLiteral("vantora%1").arg(m_serial),
                              [this, serial = m_serial](const PortalResponse &response) {
                                  if (m_lateBind && serial == m_lateBind->serial)
                                      return onLateAnswer(serial, response);
                                  take(serial, response);
                              });
}

void PortalHotKeys::Session::callPortal(const QList<QDBusMessage> &calls)
{
    m_bus.callPortal(calls, [this, serial = m_serial](const QList<QDBusMessage> &replies) { take(serial, replies); });
}

void PortalHotKeys::Session::callServices(const QList<QDBusMessage> &calls)
{
    m_bus.callServices(calls, m_deadlines.other,
                       [this, serial = m_serial](const QList<QDBusMessage> &replies) { take(serial, replies); });
}

bool PortalHotKeys::Session::isAsking() const
{
    return m_step == Step::binding && !m_askingTimer.isActive();
}

// Whether the desktop was asking the user; the answer that ends the question tells.
bool PortalHotKeys::Session::stopAsking()
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
bool PortalHotKeys::Session::abandonSession()
{
    const bool wasAsking = stopAsking();
    dropLateBind();
    if (const QPointer<PortalRequest> request = std::exchange(m_request, nullptr))
        request->deleteLater();
    followSession({});
    m_records.loseSession();
    m_round = {};
    return wasAsking;
}

// A bind past its deadline is withdrawn before a new session asks anew, which ends the
// desktop's window for it where the desktop follows that; GNOME 48 leaves its window open,
// beside the one it opens for the new question.
void PortalHotKeys::Session::closeLateQuestion()
{
    if (m_lateBind)
        m_bus.withdraw(m_lateBind->request);
    dropLateBind();
}

void PortalHotKeys::Session::dropLateBind()
{
    if (auto late = std::exchange(m_lateBind, std::nullopt); late && late->request)
        late->request->deleteLater();
    m_records.dropLateQuestions();
}

void PortalHotKeys::Session::followSession(const QString &handle)
{
    m_bus.followSession(handle);
    m_held.clear();
}

void PortalHotKeys::Session::deliver(const HotKeyEvent &event)
{
    if (m_attached && m_handler)
        m_handler(event);
}

} // namespace vantora::platform
