#include "PortalSession.h"

#include "GnomeShortcutSettings.h"

#include "runtime/NotificationCenter.h"

#include <QDBusObjectPath>

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

template <typename... Outcomes>
constexpr quint32 outcomes(Outcomes... each)
{
    return (0u | ... | (1u << quint32(each)));
}

// What may come at any step, from outside the session.
constexpr quint32 events = outcomes(Outcome::portalWent, Outcome::portalCame, Outcome::sessionClosed);

struct Transition {
    // None: from any step.
    std::optional<Step> from;
    Outcome outcome;
    // None: the step under way goes on.
    std::optional<Step> to;
};

// The session's diagram. A round binds the wanted shortcuts in a new session: it closes the old
// one, tells a new portal our id, forgets where the desktop saved them the keys of shortcuts
// recorded anew or cleared, opens the session, lists what the desktop holds, asks it to bind the
// rest, checks with Plasma's key daemon, and tells the desktop's word. A portal that goes ends
// whatever was under way: the session it held is closed in its backends, and the next portal
// binds anew. Rows from a given step come before those from any.
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
    {Step::findingBackends, Outcome::done, Step::closingOrphan},
    {Step::closingOrphan, Outcome::done, Step::idle},
    {Step::closingOrphan, Outcome::noPortal, Step::noPortal},
    {std::nullopt, Outcome::sessionClosed, Step::idle},
    {std::nullopt, Outcome::portalWent, Step::findingBackends},
    // A portal back while the one that went is cleaned up after: the cleaning goes on, and its
    // end reads who is on the bus.
    {std::nullopt, Outcome::portalCame, std::nullopt},
};

const Transition *transitionFor(Step step, Outcome outcome)
{
    const auto found = std::find_if(std::begin(transitions), std::end(transitions), [&](const Transition &transition) {
        return transition.outcome == outcome && (!transition.from || *transition.from == step);
    });
    return found == std::end(transitions) ? nullptr : found;
}

// The replies to a step's calls; none where its deadline passed first.
template <typename Answer>
const QList<QDBusMessage> &repliesOf(const Answer &answer)
{
    static const QList<QDBusMessage> none;
    const auto *replies = std::get_if<QList<QDBusMessage>>(&answer);
    return replies ? *replies : none;
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

using Session = PortalHotKeys::Session;

// Each step, its action, how its answer reads and how long it waits. Of the steps that wait for
// the portal, only a bind has a deadline, past which the desktop's answer is still taken: the
// portal answers the rest when it can (a loaded machine, a first start of its settings), and a
// portal that goes, or ends the session, ends the wait. The services beside it may hang: their
// calls carry the services' deadline, and writing GNOME's settings waits for its settings
// service, which may be stuck. A step that needs no answer reads none.
const Session::StepRow Session::steps[] = {
    {Step::noPortal, &Session::waitForPortal, nullptr, Deadline::none, 0},
    {Step::idle, &Session::startRound, nullptr, Deadline::none,
     outcomes(Outcome::roundWanted, Outcome::answered, Outcome::turnedDown)},
    {Step::findingBackends, &Session::findBackends, &Session::readBackends, Deadline::none, outcomes(Outcome::done)},
    {Step::closingOrphan, &Session::closeOrphan, &Session::readOrphanClosed, Deadline::none,
     outcomes(Outcome::done, Outcome::noPortal)},
    {Step::closingSession, &Session::closeSession, &Session::readDone, Deadline::none, outcomes(Outcome::done)},
    {Step::tellingId, &Session::tellOurId, &Session::readIdentity, Deadline::none, outcomes(Outcome::done)},
    {Step::forgettingSavedKeys, &Session::forgetSavedKeys, &Session::readDone, Deadline::services, outcomes(Outcome::done)},
    {Step::forgettingInKeyDaemon, &Session::forgetInKeyDaemon, &Session::readForgotten, Deadline::none,
     outcomes(Outcome::done)},
    {Step::creatingSession, &Session::createSession, &Session::readSession, Deadline::none,
     outcomes(Outcome::done, Outcome::nothingToBind, Outcome::refused)},
    {Step::listing, &Session::listShortcuts, &Session::readHeld, Deadline::none, outcomes(Outcome::holdsAll, Outcome::lacksSome)},
    {Step::binding, &Session::bind, &Session::readBind, Deadline::binding,
     outcomes(Outcome::answered, Outcome::turnedDown, Outcome::unanswered)},
    {Step::listingKeyDaemonActions, &Session::askKeyDaemonForActions, &Session::readKeyDaemonActions, Deadline::none,
     outcomes(Outcome::done, Outcome::unknownToKeyDaemon)},
    {Step::checkingKeyDaemonKeys, &Session::askKeyDaemonForKeys, &Session::readKeyDaemonKeys, Deadline::none,
     outcomes(Outcome::done)},
    {Step::concluding, &Session::conclude, nullptr, Deadline::none, outcomes(Outcome::done)},
};

const Session::StepRow &Session::rowOf(Step step)
{
    const auto found = std::find_if(std::begin(steps), std::end(steps), [step](const StepRow &row) { return row.step == step; });
    Q_ASSERT(found != std::end(steps));
    return *found;
}

std::optional<Step> Session::following(Step step, Outcome outcome)
{
    const Transition *transition = transitionFor(step, outcome);
    return transition ? std::optional(transition->to.value_or(step)) : std::nullopt;
}

std::vector<Outcome> Session::outcomesOf(Step step)
{
    std::vector<Outcome> all;
    for (quint32 bit = 0; bit < 32; ++bit) {
        if ((rowOf(step).outcomes | events) & (1u << bit))
            all.push_back(Outcome(bit));
    }
    return all;
}

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

// The one place a step is left: the table says which follows, and a step that needs no answer
// (nothing to ask, or already known) comes to its outcome at once.
void Session::go(Outcome outcome)
{
    std::optional<Outcome> now = outcome;
    while (now) {
        const Transition *transition = transitionFor(m_step, *now);
        Q_ASSERT_X(transition && ((rowOf(m_step).outcomes | events) & outcomes(*now)), "PortalHotKeys::Session",
                   "an outcome of a step that the table has no row for");
        if (!transition || !transition->to)
            return;
        m_step = *transition->to;
        ++m_serial;
        const StepRow &row = rowOf(m_step);
        if (row.deadline == Deadline::none)
            m_deadline.stop();
        else
            m_deadline.start(row.deadline == Deadline::binding ? m_deadlines.binding : m_deadlines.other);
        now = (this->*row.begin)();
    }
}

void Session::take(Serial serial, const Answer &answer)
{
    if (serial != m_serial)
        return;
    const StepRow &row = rowOf(m_step);
    Q_ASSERT(row.read);
    go((this->*row.read)(answer));
}

std::optional<Outcome> Session::waitForPortal()
{
    return std::nullopt;
}

// Each action keeps one id whatever its keys, so the desktop lists it once; the ids left out
// are no longer ours: their presses are dropped. Runs again whenever the wanted shortcuts change.
std::optional<Outcome> Session::startRound()
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

std::optional<Outcome> Session::findBackends()
{
    if (m_orphaned.isEmpty())
        return Outcome::done;
    callServices({busNamesCall()});
    return std::nullopt;
}

Outcome Session::readBackends(const Answer &answer)
{
    m_orphanCloses = backendCloseCalls(repliesOf(answer).value(0), m_orphaned);
    return Outcome::done;
}

std::optional<Outcome> Session::closeOrphan()
{
    callServices(std::exchange(m_orphanCloses, {}));
    return std::nullopt;
}

Outcome Session::readOrphanClosed(const Answer &)
{
    m_orphaned.clear();
    return m_bus.portal().isEmpty() ? Outcome::noPortal : Outcome::done;
}

// A desktop may refuse a session on the path of one it has not closed yet.
std::optional<Outcome> Session::closeSession()
{
    callPortal(m_bus.session().isEmpty() ? QList<QDBusMessage>()
                                         : QList<QDBusMessage>{m_bus.sessionCall(QStringLiteral("Close"))});
    followSession({});
    return std::nullopt;
}

Outcome Session::readDone(const Answer &)
{
    return Outcome::done;
}

// Before the first request to each portal: the desktop binds shortcuts for a program it knows
// by its id, and names them by it.
std::optional<Outcome> Session::tellOurId()
{
    if (m_toldPortal == m_bus.portal())
        return Outcome::done;
    tellPortalOurId(m_bus.connection(), m_bus.portal(), m_applicationId, m_bus.portalContext(),
                    [this, serial = m_serial](PortalIdentity identity) { take(serial, identity); });
    return std::nullopt;
}

Outcome Session::readIdentity(const Answer &answer)
{
    const auto *identity = std::get_if<PortalIdentity>(&answer);
    m_identity = identity ? *identity : PortalIdentity::unstated;
    m_toldPortal = m_bus.portal();
    if (m_identity == PortalIdentity::registered)
        qInfo("vantora: the desktop's shortcut portal knows this program as %s", qPrintable(m_applicationId));
    return Outcome::done;
}

// GNOME's settings are written off the GUI thread (the settings service may be stuck); a write
// past the step's deadline is not waited for.
std::optional<Outcome> Session::forgetSavedKeys()
{
    if (m_identity != PortalIdentity::registered || m_round.forgotten.empty())
        return Outcome::done;
    forgetGnomeShortcuts(m_applicationId, m_round.forgotten, this,
                         [this, serial = m_serial] { take(serial, QList<QDBusMessage>()); });
    return std::nullopt;
}

std::optional<Outcome> Session::forgetInKeyDaemon()
{
    callServices(m_keyDaemon.forgetCalls(m_round.forgotten, m_identity));
    return std::nullopt;
}

Outcome Session::readForgotten(const Answer &)
{
    m_records.forgetCleared(m_round.cleared);
    return Outcome::done;
}

std::optional<Outcome> Session::createSession()
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

Outcome Session::readSession(const Answer &answer)
{
    const auto *response = std::get_if<PortalResponse>(&answer);
    const PortalResponse taken = response ? *response : PortalResponse();
    followSession(taken.code == portalResponse::success ? sessionHandleOf(taken.results) : QString());
    if (!m_bus.session().isEmpty())
        return Outcome::done;
    m_round.missing = DesktopBinding::refused(m_rules.refusalOf(taken.code, m_identity, false));
    return Outcome::refused;
}

std::optional<Outcome> Session::listShortcuts()
{
    request(QStringLiteral("ListShortcuts"), {QVariant::fromValue(QDBusObjectPath(m_bus.session()))}, {});
    return std::nullopt;
}

Outcome Session::readHeld(const Answer &answer)
{
    const auto *response = std::get_if<PortalResponse>(&answer);
    const bool holdsAll = m_records.takeHeld(response && response->code == portalResponse::success
                                                 ? reportedTriggers(response->results.value(QStringLiteral("shortcuts")))
                                                 : DesktopTriggers());
    return holdsAll ? Outcome::holdsAll : Outcome::lacksSome;
}

std::optional<Outcome> Session::bind()
{
    m_records.openQuestions();
    m_askingTimer.start();
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_bus.session())), QVariant::fromValue(m_round.shortcuts), QString()}, {});
    return std::nullopt;
}

// Past the deadline (no response) the bind is left unconfirmed.
Outcome Session::readBind(const Answer &answer)
{
    const auto *response = std::get_if<PortalResponse>(&answer);
    return response ? answerBind(*response) : leaveBindUnconfirmed();
}

std::optional<Outcome> Session::askKeyDaemonForActions()
{
    callServices(m_keyDaemon.actionsCalls(m_identity));
    return std::nullopt;
}

// Where the key daemon keeps shortcuts of ours, the keys of those the desktop named are asked of it.
Outcome Session::readKeyDaemonActions(const Answer &answer)
{
    const auto ours = m_keyDaemon.ours(repliesOf(answer), m_identity);
    if (!ours)
        return Outcome::unknownToKeyDaemon;
    if (!ours->renames.isEmpty())
        m_bus.callServices(ours->renames, m_deadlines.other, [](const QList<QDBusMessage> &) {});
    m_round.keyDaemonComponent = ours->component;
    m_round.checked.clear();
    for (const auto &[id, words] : m_records.wordsOfTheDesktop()) {
        if (ours->ids.contains(id))
            m_round.checked.append(id);
    }
    return Outcome::done;
}

std::optional<Outcome> Session::askKeyDaemonForKeys()
{
    callServices(PortalKeyDaemon::keysCalls(m_round.keyDaemonComponent, m_round.checked));
    return std::nullopt;
}

Outcome Session::readKeyDaemonKeys(const Answer &answer)
{
    for (const QString &id : PortalKeyDaemon::taken(repliesOf(answer), m_round.checked))
        m_records.markTaken(id);
    return Outcome::done;
}

std::optional<Outcome> Session::conclude()
{
    m_records.concludeRound(m_round.missing);
    m_isPortalGone = false;
    m_notifications.post(desktopTriggersDidChange);
    return Outcome::done;
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

void Session::onShortcutsChanged(const DesktopTriggers &triggers)
{
    if (m_records.takeChange(triggers))
        m_notifications.post(desktopTriggersDidChange);
}

// Only the desktop's answer says no. What it held before it asked stays bound whatever it
// answers: GNOME's window lists every shortcut of the session, and a No there is a No to the
// shortcuts it asked about. The shortcuts it lists as bound count, whatever the code: GNOME 48
// answers "failed" together with the shortcut it bound.
Outcome Session::answerBind(const PortalResponse &response)
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
Outcome Session::leaveBindUnconfirmed()
{
    stopAsking();
    m_lateBind = LateBind{m_serial, std::exchange(m_request, nullptr)};
    m_round.missing = DesktopBinding::unconfirmed();
    return Outcome::unanswered;
}

// GNOME lists nothing of a new session before it binds, then binds the keys it saved without
// asking and asks about the rest; a No there binds none of the session's shortcuts (see
// PortalAnswerRules::boundAgainAfterNo). Those it saved are bound again alone, in a new
// session. Once: a second No is final.
bool Session::bindAgainWhatGnomeSaved()
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
    m_records.loseSession();
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
