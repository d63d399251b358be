#pragma once

#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"

#include <QList>
#include <QSet>
#include <QVariant>

#include <optional>

namespace vantora::runtime {
class NotificationCenter;
class UserDefaults;
} // namespace vantora::runtime

namespace vantora::GlobalShortcuts {

// What is stored for a name.
struct StoredShortcut final {
    enum class Kind : quint8 {
        // Nothing usable: no entry, or one that does not read as a shortcut.
        none,
        // The user removed the shortcut of a name that has an initial one.
        cleared,
        shortcut,
        // The user turned the desktop's request for the shortcut down: kept so that it can be
        // shown and cleared, never bound until keys are recorded again.
        declined,
    };
    Kind kind = Kind::none;
    // Meaningful only for Kind::shortcut and Kind::declined.
    Shortcut shortcut;

    std::optional<Shortcut> asShortcut() const
    {
        return kind == Kind::shortcut ? std::optional<Shortcut>(shortcut) : std::nullopt;
    }
    friend bool operator==(const StoredShortcut &, const StoredShortcut &) = default;
};

// Keeps the hot keys in step with what is stored; the dispatcher of shortcut actions
// answers these calls around every write.
class HotKeyUpkeep {
public:
    // Before a name's stored shortcut changes: drops the hot key of its current shortcut
    // unless another name or stream still needs it.
    virtual void releaseHotKeyIfUnused(const Name &name) = 0;
    // After it changed: makes sure the new shortcut has a hot key if the name has actions.
    virtual void registerIfNeeded(const Name &name) = 0;

protected:
    ~HotKeyUpkeep() = default;
};

// Every named shortcut lives in user defaults under "GlobalShortcuts_" plus its name, as
// the JSON text of the shortcut, or as the bool false when the user cleared a name that has
// an initial shortcut (so the initial one does not come back at the next start). A shortcut
// the user declined in the desktop's window carries the member "declined": true besides its
// keys; a reader that knows nothing of it reads the shortcut. Any other value reads as
// nothing stored and is left alone until written over. There is no cache:
// every read goes to the defaults. Every write that changes something posts
// shortcutByNameDidChange synchronously, after the hot keys are in step.
class ShortcutStorage final {
public:
    static inline const QString keyPrefix = QStringLiteral("GlobalShortcuts_");

    ShortcutStorage(runtime::UserDefaults &defaults, runtime::NotificationCenter &notifications);

    // Set by the dispatcher of shortcut actions for as long as it lives; may be null.
    void setUpkeep(HotKeyUpkeep *upkeep) noexcept { m_upkeep = upkeep; }

    static QString key(const QString &rawValue) { return keyPrefix + rawValue; }

    // The shortcut to bind: none for a declined one.
    std::optional<Shortcut> getShortcut(const Name &name) const;
    StoredShortcut storedShortcut(const Name &name) const;
    std::optional<QVariant> storedObject(const Name &name) const;

    // Stores a shortcut; without one, clears the name: the cleared marker for a name with an
    // initial shortcut (written and posted only once), otherwise the entry is removed
    // (posted only when there was one).
    void setShortcut(const std::optional<Shortcut> &shortcut, const Name &name);
    // Always writes and posts, even the shortcut already stored.
    void storeShortcut(const Shortcut &shortcut, const Name &name);
    void storeClearedMarker(const Name &name);
    // Marks the stored shortcut declined: its hot key goes and it is bound again only once a
    // shortcut is stored anew. Nothing for a name that stores no bindable shortcut.
    void storeDeclined(const Name &name);
    // Gives each name its initial shortcut back, in list order.
    void reset(const QList<Name> &names);
    // Removes every entry with the prefix, cleared markers and unreadable values included.
    void removeAllStoredShortcuts();
    // The names that have any entry, whatever it holds; without initial shortcuts.
    QSet<Name> storedNames() const;
    // Stores the shortcut only if the name has no entry at all. Posts nothing and registers
    // no hot key.
    void storeInitialShortcutIfNeeded(const Shortcut &shortcut, const QString &rawValue);
    void postShortcutDidChange(const Name &name);

private:
    void removeStoredShortcut(const Name &name);
    void releaseHotKeyIfUnused(const Name &name);
    void registerIfNeeded(const Name &name);

    runtime::UserDefaults &m_defaults;
    runtime::NotificationCenter &m_notifications;
    HotKeyUpkeep *m_upkeep = nullptr;
};

} // namespace vantora::GlobalShortcuts
