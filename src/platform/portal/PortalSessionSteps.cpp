#include "platform/portal/PortalSession.h"

#include "platform/gnome/GnomeShortcutSettings.h"

#include "runtime/NotificationCenter.h"

#include <QDBusObjectPath>

#include <algorithm>
#include <utility>

// The session's table, its steps and the rules by which they change the records.
namespace vantora::platform {

namespace {

using Step = PortalHotKeys::Session::Step;
using Outcome = PortalHotKeys::Session::Outcome;

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

// The cleared shortcuts, once forgotten where the desktop saved them, are no longer ours.
Outcome Session::readForgotten(const Answer &)
{
    for (const QString &id : m_round.cleared) {
        m_records.setDesktopMayHold(id, {});
        m_records.byId.erase(id);
    }
    return Outcome::done;
}

std::optional<Outcome> Session::createSession()
{
    if (m_round.shortcuts.isEmpty())
        return Outcome::nothingToBind;
    // The desktop may hold the keys offered from now on, whatever becomes of the session, as the
    // keys it held before are forgotten.
    for (const auto &[id, record] : m_records.byId) {
        if (record.offer && !record.offer->isDeclined)
            m_records.setDesktopMayHold(id, record.offer->keys);
    }
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

// What the desktop holds for this session already (saved from an earlier run) is not asked for
// again: a start with nothing new opens nothing on the desktop. Of keys recorded anew it holds
// the old ones.
Outcome Session::readHeld(const Answer &answer)
{
    const auto *response = std::get_if<PortalResponse>(&answer);
    const DesktopTriggers listed = response && response->code == portalResponse::success
        ? reportedTriggers(response->results.value(QStringLiteral("shortcuts")))
        : DesktopTriggers();
    bool holdsAll = true;
    for (auto &[id, record] : m_records.byId) {
        if (!record.offer || record.offer->isDeclined)
            continue;
        const auto words = listed.find(id);
        if (words != listed.end() && !words->second.isEmpty() && !record.offer->isRecordedAnew)
            record.offer->held = words->second;
        holdsAll = holdsAll && !record.offer->held.isEmpty();
    }
    return holdsAll ? Outcome::holdsAll : Outcome::lacksSome;
}

// The shortcuts the desktop does not hold are asked about.
std::optional<Outcome> Session::bind()
{
    for (auto &[id, record] : m_records.byId) {
        if (record.offer && !record.offer->isDeclined && record.offer->held.isEmpty())
            record.offer->isAsked = true;
    }
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
    for (const auto &[id, record] : m_records.byId) {
        if (record.offer && !(record.offer->bound.isEmpty() && record.offer->held.isEmpty()) && ours->ids.contains(id))
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
    for (const QString &id : PortalKeyDaemon::taken(repliesOf(answer), m_round.checked)) {
        if (auto &offer = m_records.byId[id].offer)
            offer->isTaken = true;
    }
    return Outcome::done;
}

// The desktop's word on every shortcut offered: what it binds now, else what it held, else the
// round's word on what it left out. The keys it held from before and did not just bind anew
// are its own choice where they differ from ours. A word it told during the round, where its
// answer has none, outlasts the round's deadline.
std::optional<Outcome> Session::conclude()
{
    for (auto &[id, record] : m_records.byId) {
        if (!record.offer)
            continue;
        const PortalOffer &offer = *record.offer;
        const QString &said = offer.bound.isEmpty() ? offer.held : offer.bound;
        const QString &trigger = offer.keys.trigger;
        const bool toldDuringRound = record.word && record.word->told == PortalTold::byChange
            && record.word->round == m_records.rounds && record.word->trigger == trigger;
        if (offer.isTaken)
            m_records.setWord(id, trigger, DesktopBinding::refused(DesktopBinding::Refusal::keysTaken), PortalTold::byRound);
        else if (offer.isDeclined)
            m_records.setWord(id, trigger, DesktopBinding::refused(DesktopBinding::Refusal::cancelled), PortalTold::byRound);
        else if (!said.isEmpty())
            m_records.setWord(id, trigger, PortalAnswerRules::boundAsWorded(trigger, said, m_records.isDesktopsChoice(offer)),
                              PortalTold::byRound);
        else if (!(toldDuringRound && m_round.missing.state == DesktopBinding::State::unconfirmed))
            m_records.setWord(id, trigger, m_round.missing, PortalTold::byRound);
    }
    m_isPortalGone = false;
    m_notifications.post(desktopTriggersDidChange);
    return Outcome::done;
}

// Keys the desktop told changed for shortcuts offered: what fires now is what the page shows. A
// change told while a question about the shortcut is open, in the bind under way or one past
// its deadline, is part of its answer: the shortcut's own question says so, whatever the
// session does now.
void Session::onShortcutsChanged(const DesktopTriggers &triggers)
{
    bool changed = false;
    for (const auto &[id, words] : triggers) {
        const auto record = m_records.byId.find(id);
        if (record == m_records.byId.end() || !record->second.offer)
            continue;
        const PortalOffer &offer = *record->second.offer;
        const bool isChosen = !offer.isAsked || m_records.isDesktopsChoice(offer);
        m_records.setWord(id, offer.keys.trigger,
                          words.isEmpty() ? DesktopBinding::refused(DesktopBinding::Refusal::unexplained)
                                          : PortalAnswerRules::boundAsWorded(offer.keys.trigger, words, isChosen),
                          PortalTold::byChange);
        changed = true;
    }
    if (changed)
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
    for (auto &[id, record] : m_records.byId) {
        if (!record.offer)
            continue;
        record.offer->isAsked = false;
        const auto words = bound.find(id);
        record.offer->bound = words == bound.end() ? QString() : words->second;
    }
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
// PortalAnswerRules::boundAgainAfterNo). Those it saved (bound before in this run with the same
// keys, or in its settings from an earlier one and not recorded anew) are bound again alone, in
// a new session, the rest being turned down. Once: a second No is final.
bool Session::bindAgainWhatGnomeSaved()
{
    if (m_round.isBoundAgain)
        return false;
    const std::set<QString> savedInGnome = m_desktop == PortalDesktop::gnome && m_identity == PortalIdentity::registered
        ? gnomeSavedShortcuts(m_applicationId)
        : std::set<QString>();
    QStringList asked;
    std::set<QString> saved;
    for (const PortalShortcut &shortcut : std::as_const(m_round.shortcuts)) {
        asked.append(shortcut.id);
        const auto &offer = m_records.byId[shortcut.id].offer;
        if (offer && (offer->wasBoundBefore || (savedInGnome.contains(shortcut.id) && !offer->isRecordedAnew)))
            saved.insert(shortcut.id);
    }
    const std::set<QString> again = m_rules.boundAgainAfterNo(asked, saved);
    if (again.empty())
        return false;
    PortalShortcuts bound;
    for (const PortalShortcut &shortcut : std::as_const(m_round.shortcuts)) {
        if (again.contains(shortcut.id))
            bound.append(shortcut);
        else if (auto &offer = m_records.byId[shortcut.id].offer)
            offer->isDeclined = true;
    }
    m_round.shortcuts = bound;
    m_round.isBoundAgain = true;
    return true;
}

} // namespace vantora::platform
