#include "platform/portal/PortalShortcutRecords.h"

#include "platform/portal/DesktopTriggerWords.h"
#include "platform/portal/XdgShortcutTrigger.h"

#include "runtime/UserDefaults.h"

#include <QCoreApplication>

#include <algorithm>

namespace vantora::platform {

using Refusal = DesktopBinding::Refusal;

namespace {

// Beside the shortcuts' own entries (GlobalShortcuts_ and the name), by shortcut id.
const QString desktopMayHoldPrefix = QStringLiteral("GlobalShortcutsOnTheDesktop_");

} // namespace

PortalShortcutRecords::PortalShortcutRecords(const XkbKeyboardLayout &layout, runtime::UserDefaults &kept,
                                             PortalActionOfKeys actionOfKeys, PortalDesktop desktop)
    : m_layout(layout)
    , m_kept(kept)
    , m_actionOfKeys(std::move(actionOfKeys))
    , m_rules(desktop)
{
    for (const QString &key : m_kept.keys()) {
        const auto keys = key.startsWith(desktopMayHoldPrefix) ? m_kept.dictionary(key) : std::nullopt;
        const QString trigger = keys ? keys->value(QStringLiteral("trigger")).toString() : QString();
        if (!trigger.isEmpty())
            byId[key.mid(desktopMayHoldPrefix.size())].desktopMayHold = {
                trigger, keys->value(QStringLiteral("keyCode")).toUInt(), keys->value(QStringLiteral("modifiers")).toUInt()};
    }
}

HotKeyRegistration PortalShortcutRecords::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
{
    const auto trigger = xdgShortcutTrigger(carbonKeyCode, carbonModifiers, m_layout);
    if (!trigger) {
        constexpr quint32 carbonFunction = 0x20000;
        return {carbonModifiers & carbonFunction ? HotKeyRegistration::Status::unsupportedModifier
                                                 : HotKeyRegistration::Status::noSuchKey,
                0};
    }
    const PortalKeys keys{*trigger, carbonKeyCode, carbonModifiers};
    const PortalAction action = actionOf(keys);
    // Keys turned down, or left unanswered past the bind's deadline, are asked about again once
    // recorded anew: registered under a hot key of their own after the old one was let go. Let
    // go and registered again under the same one (a menu open, a recording under way) they are
    // not: the question may still be open in the desktop's window.
    Record &record = byId[action.id];
    if (!hotKeyOf(action.id) && record.hotKeyId != hotKeyId && record.word && record.word->trigger == *trigger
        && (record.word->binding == DesktopBinding::refused(Refusal::cancelled)
            || record.word->binding.state == DesktopBinding::State::unconfirmed)) {
        record.word.reset();
        record.offer.reset();
    }
    record.hotKeyId = hotKeyId;
    const HotKeyRef ref = m_nextRef++;
    m_registrations.emplace(ref, Registration{hotKeyId, keys, action});
    return {HotKeyRegistration::Status::registered, ref};
}

bool PortalShortcutRecords::unregisterHotKey(HotKeyRef ref)
{
    return m_registrations.erase(ref) != 0;
}

std::optional<quint32> PortalShortcutRecords::hotKeyOf(const QString &shortcutId) const
{
    const Registration *registration = registrationFor(shortcutId);
    return registration ? std::optional(registration->hotKeyId) : std::nullopt;
}

std::optional<DesktopBinding> PortalShortcutRecords::desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers,
                                                                    PortalSessionState session) const
{
    const auto trigger = xdgShortcutTrigger(carbonKeyCode, carbonModifiers, m_layout);
    if (!trigger)
        return std::nullopt;
    const auto record = byId.find(shortcutIdOf(carbonKeyCode, carbonModifiers, *trigger));
    if (record == byId.end())
        return std::nullopt;
    if (session == PortalSessionState::portalGone)
        return DesktopBinding::serviceGone();
    const std::optional<PortalOffer> &offer = record->second.offer;
    if (session == PortalSessionState::asking && offer && offer->isAsked && offer->keys.trigger == *trigger)
        return DesktopBinding::asking();
    // What the desktop said of an action's earlier keys says nothing of its new ones.
    const std::optional<PortalWord> &word = record->second.word;
    if (!word || word->trigger != *trigger)
        return std::nullopt;
    return word->binding;
}

// Each action keeps one id whatever its keys, so the desktop lists it once; the desktop keeps
// the keys of an id once it has saved them, whatever a later bind asks, so an action recorded
// anew is first forgotten where the desktop saved it, and so is one cleared, so that its keys
// are free again in every program and the next keys recorded for it are asked about. Both are
// told by the keys the desktop may hold, which outlive a session or portal lost in between.
std::optional<PortalShortcutRecords::Plan> PortalShortcutRecords::planRound()
{
    // Keys may have come to an action since they were registered.
    for (auto &[ref, registration] : m_registrations)
        registration.action = actionOf(registration.keys);
    const PortalShortcuts shortcuts = wantedShortcuts();
    takeKeysTheDesktopBinds(shortcuts);
    Plan plan{shortcuts, clearedShortcuts(shortcuts), {}};
    const bool offeredAlready = std::all_of(shortcuts.begin(), shortcuts.end(), [this](const PortalShortcut &shortcut) {
        const auto record = byId.find(shortcut.id);
        return record != byId.end() && record->second.offer && record->second.offer->keys.trigger == preferredTrigger(shortcut);
    });
    if (plan.cleared.empty() && (shortcuts.isEmpty() || offeredAlready))
        return std::nullopt;
    ++rounds;
    plan.forgotten = plan.cleared;
    for (auto &[id, record] : byId)
        record.offer.reset();
    for (const PortalShortcut &shortcut : shortcuts) {
        Record &record = byId[shortcut.id];
        PortalOffer offer;
        offer.keys = registrationFor(shortcut.id)->keys;
        offer.isRecordedAnew = !record.desktopMayHold.isEmpty() && record.desktopMayHold.trigger != offer.keys.trigger;
        offer.wasBoundBefore = record.word && record.word->trigger == offer.keys.trigger
            && record.word->binding.state == DesktopBinding::State::bound;
        if (offer.isRecordedAnew)
            plan.forgotten.insert(shortcut.id);
        record.offer = offer;
    }
    return plan;
}

PortalAction PortalShortcutRecords::actionOf(const PortalKeys &keys) const
{
    if (auto action = m_actionOfKeys ? m_actionOfKeys(keys.carbonKeyCode, keys.carbonModifiers) : std::nullopt)
        return *action;
    return {keys.trigger, QCoreApplication::applicationName()};
}

QString PortalShortcutRecords::shortcutIdOf(quint32 carbonKeyCode, quint32 carbonModifiers, const QString &trigger) const
{
    for (const auto &[ref, registration] : m_registrations) {
        if (registration.keys.trigger == trigger)
            return registration.action.id;
    }
    return actionOf({trigger, carbonKeyCode, carbonModifiers}).id;
}

// The last registered of a shortcut's: its keys are those offered (see wantedShortcuts).
const PortalShortcutRecords::Registration *PortalShortcutRecords::registrationFor(const QString &shortcutId) const
{
    const Registration *found = nullptr;
    for (const auto &[ref, registration] : m_registrations) {
        if (registration.action.id == shortcutId)
            found = &registration;
    }
    return found;
}

PortalShortcuts PortalShortcutRecords::wantedShortcuts() const
{
    std::map<QString, PortalShortcut> wanted;
    for (const auto &[ref, registration] : m_registrations) {
        wanted[registration.action.id] = {registration.action.id,
                                          {{QStringLiteral("description"), registration.action.description},
                                           {QStringLiteral("preferred_trigger"), registration.keys.trigger}}};
    }
    PortalShortcuts shortcuts;
    for (auto &[id, shortcut] : wanted)
        shortcuts.append(std::move(shortcut));
    return shortcuts;
}

// Keys that come to an action are those the desktop binds it to already where it chose them
// (see DesktopBinding::isChosenByDesktop): nothing to ask it, and nothing to forget.
void PortalShortcutRecords::takeKeysTheDesktopBinds(const PortalShortcuts &shortcuts)
{
    for (const PortalShortcut &shortcut : shortcuts) {
        const QString trigger = preferredTrigger(shortcut);
        const auto record = byId.find(shortcut.id);
        if (record == byId.end() || record->second.desktopMayHold.isEmpty()
            || record->second.desktopMayHold.trigger == trigger || !record->second.word)
            continue;
        const PortalWord word = *record->second.word;
        if (word.binding.state != DesktopBinding::State::bound || word.binding.trigger.isEmpty()
            || portableTextOfXdgTrigger(trigger) != word.binding.trigger)
            continue;
        setDesktopMayHold(shortcut.id, registrationFor(shortcut.id)->keys);
        if (record->second.offer)
            record->second.offer->keys = record->second.desktopMayHold;
        setWord(shortcut.id, trigger, DesktopBinding::boundTo(word.binding.trigger), word.told);
    }
}

// The ids the desktop may hold keys for that nothing registers and whose keys run them no
// longer: the person cleared them. Keys let go for a while (a menu open, a recording under way)
// still run their action; keys turned down (stored as such, running nothing) hold nothing on
// the desktop's side to let go of.
std::set<QString> PortalShortcutRecords::clearedShortcuts(const PortalShortcuts &wanted) const
{
    std::set<QString> cleared;
    for (const auto &[id, record] : byId) {
        const bool isWanted = std::any_of(wanted.begin(), wanted.end(),
                                          [&id = id](const PortalShortcut &shortcut) { return shortcut.id == id; });
        const bool turnedDown = record.word && record.word->binding == DesktopBinding::refused(Refusal::cancelled);
        if (!record.desktopMayHold.isEmpty() && !isWanted && !turnedDown && actionOf(record.desktopMayHold).id != id)
            cleared.insert(id);
    }
    return cleared;
}

bool PortalShortcutRecords::isDesktopsChoice(const PortalOffer &offer) const
{
    return m_rules.isDesktopsChoice(!offer.held.isEmpty(), offer.isRecordedAnew);
}

void PortalShortcutRecords::setDesktopMayHold(const QString &id, const PortalKeys &keys)
{
    if (std::exchange(byId[id].desktopMayHold, keys) == keys)
        return;
    if (keys.isEmpty())
        return m_kept.remove(desktopMayHoldPrefix + id);
    m_kept.setDictionary(desktopMayHoldPrefix + id, {{QStringLiteral("trigger"), keys.trigger},
                                                     {QStringLiteral("keyCode"), keys.carbonKeyCode},
                                                     {QStringLiteral("modifiers"), keys.carbonModifiers}});
}

void PortalShortcutRecords::setWord(const QString &id, const QString &trigger, const DesktopBinding &binding, PortalTold told)
{
    byId[id].word = PortalWord{trigger, binding, told, rounds};
}

} // namespace vantora::platform
