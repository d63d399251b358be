#pragma once

#include "platform/HotKeyBackend.h"
#include "platform/portal/PortalAnswerRules.h"
#include "platform/portal/PortalBus.h"
#include "platform/portal/PortalHotKeys.h"

#include <map>
#include <optional>
#include <set>

namespace vantora::runtime {
class UserDefaults;
}

namespace vantora::platform {

class XkbKeyboardLayout;

// Keys offered for a shortcut id, in the desktop's text (see xdgShortcutTrigger), with the
// combination they are; empty where none were.
struct PortalKeys {
    QString trigger;
    quint32 carbonKeyCode = 0;
    quint32 carbonModifiers = 0;

    bool isEmpty() const { return trigger.isEmpty(); }
    friend bool operator==(const PortalKeys &, const PortalKeys &) = default;
};

// Where the desktop's word on a shortcut came from.
enum class PortalTold : quint8 {
    // Its answer to a round: what it listed, bound, left out, or let pass the deadline.
    byRound,
    // Keys it told changed on its own (in its settings, or while it asks).
    byChange,
};

// The desktop's word on keys offered for a shortcut id.
struct PortalWord {
    QString trigger;
    DesktopBinding binding;
    PortalTold told = PortalTold::byRound;
    // The round it was told in.
    quint64 round = 0;
};

// A shortcut as offered to the current session, and what the desktop said of it there: the
// round a late answer answers, kept with the shortcut it is about.
struct PortalOffer {
    PortalKeys keys;
    // Other keys than those the desktop may hold for it: the desktop's saved ones are forgotten
    // first, and what it lists for the id before it binds are the old ones.
    bool isRecordedAnew = false;
    // Bound with these keys before the round began: saved by the desktop.
    bool wasBoundBefore = false;
    // The desktop's words for the keys it held before it was asked to bind, and for those it
    // says it binds now; empty where it named none.
    QString held;
    QString bound;
    // The key daemon gave the keys to another program first.
    bool isTaken = false;
    // Turned down in GNOME's window, and left out when the rest is bound again.
    bool isDeclined = false;
    // Asked about in the session's bind, which the desktop has not answered yet (in time or late).
    bool isAsked = false;
};

// What the session can tell of every shortcut at once: its portal gone, or asking the user.
enum class PortalSessionState : quint8 { working, asking, portalGone };

// Our shortcuts as the desktop knows them, one record per shortcut id, and the hot keys
// registered for them: data that the session's steps change, by the rules beside its table
// (PortalSessionSteps.cpp). What the person last asked for a shortcut (a clear, new keys) is
// kept until a portal has taken it: the keys the desktop may hold for an id outlive the session
// and the portal they were offered to, since what the desktop saved outlives both, while what
// was offered to a session, and its answers there, go with the session. The keys the desktop
// may hold outlive the run too, kept in the user's defaults beside the shortcuts: a clear or
// keys recorded while no portal was there, the app quitting first, reach the next portal in a
// later run. A shortcut's word is about the keys last offered for it.
class PortalShortcutRecords final {
public:
    // The layout and defaults must outlive the records.
    PortalShortcutRecords(const XkbKeyboardLayout &layout, runtime::UserDefaults &kept, PortalActionOfKeys actionOfKeys,
                          PortalDesktop desktop);

    HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId);
    // False for an unknown ref.
    bool unregisterHotKey(HotKeyRef ref);
    // The hot key registered for `shortcutId`, if any.
    std::optional<quint32> hotKeyOf(const QString &shortcutId) const;

    std::optional<DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers,
                                                 PortalSessionState session) const;

    // A round in a new session: the shortcuts to offer it, those cleared, and those whose keys
    // the desktop may have saved and must forget first (the cleared, and those recorded anew).
    struct Plan {
        PortalShortcuts shortcuts;
        std::set<QString> cleared;
        std::set<QString> forgotten;
    };
    // What a new round would offer, and makes it the session's offers; none where the session
    // holds every shortcut as wanted already and nothing was cleared. Keys the desktop binds
    // already for an action, where it chose them, are taken as offered.
    std::optional<Plan> planRound();
    // What the desktop may hold for `id` from now on (none: it holds nothing), kept for the next run.
    void setDesktopMayHold(const QString &id, const PortalKeys &keys);
    void setWord(const QString &id, const QString &trigger, const DesktopBinding &binding, PortalTold told);
    // Keys the desktop held before it was asked are its own; GNOME lists none before a bind and
    // names the keys it saved, for a shortcut not recorded anew.
    bool isDesktopsChoice(const PortalOffer &offer) const;

    struct Record {
        // The keys the desktop may hold for the id: those it was last asked about, by any
        // portal; empty where it holds nothing of ours (see setDesktopMayHold).
        PortalKeys desktopMayHold;
        // The hot key last registered for it: another one is keys recorded anew.
        quint32 hotKeyId = 0;
        std::optional<PortalWord> word;
        // None where the current session was not offered it.
        std::optional<PortalOffer> offer;
    };
    // By shortcut id: the session's steps change them, by the rules beside its table.
    std::map<QString, Record> byId;
    // Counts the rounds: a word carries the round it was told in.
    quint64 rounds = 0;

private:
    struct Registration {
        quint32 hotKeyId = 0;
        PortalKeys keys;
        // How the desktop lists it, as last offered.
        PortalAction action;
    };
    PortalAction actionOf(const PortalKeys &keys) const;
    QString shortcutIdOf(quint32 carbonKeyCode, quint32 carbonModifiers, const QString &trigger) const;
    const Registration *registrationFor(const QString &shortcutId) const;
    PortalShortcuts wantedShortcuts() const;
    void takeKeysTheDesktopBinds(const PortalShortcuts &shortcuts);
    std::set<QString> clearedShortcuts(const PortalShortcuts &wanted) const;

    const XkbKeyboardLayout &m_layout;
    runtime::UserDefaults &m_kept;
    const PortalActionOfKeys m_actionOfKeys;
    const PortalAnswerRules m_rules;
    std::map<HotKeyRef, Registration> m_registrations;
    HotKeyRef m_nextRef = 1;
};

} // namespace vantora::platform
