#pragma once

#include "shortcuts/EventType.h"
#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutStorage.h"

#include <QList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace vantora::GlobalShortcuts {

class HotKey;
class HotKeyCenter;

// The actions attached to named shortcuts, and the hot keys they need.
//
// Hot keys exist per shortcut, not per name: names that store the same shortcut share one,
// and a press runs the actions of every such name. Which names a press belongs to is read
// from storage at the press, so hot keys never know their names.
//
// A name is active while it is not disabled and has actions or event streams. A shortcut
// is in use while an active name stores it or a stream listens to it directly; exactly the
// shortcuts in use have a hot key (unless the system refused one, in which case the next
// operation that needs it tries again). Everything runs on the main thread.
class ShortcutActions final : public HotKeyUpkeep {
public:
    using Action = std::function<void()>;
    using StreamId = quint64;

    // Keeps `storage`'s hot keys in step for as long as it lives. The centre and the storage
    // must outlive it.
    ShortcutActions(HotKeyCenter &centre, ShortcutStorage &storage);
    ~ShortcutActions();

    ShortcutActions(const ShortcutActions &) = delete;
    ShortcutActions &operator=(const ShortcutActions &) = delete;

    // Appends the action (twice attached, it runs twice, in attach order) and registers the
    // name's hot key if it stores a shortcut.
    void onKeyDown(const Name &name, Action action);
    void onKeyUp(const Name &name, Action action);
    // Drops the name's actions (not its streams) and its hot key unless still needed.
    void removeHandler(const Name &name);
    void removeAllHandlers();

    // Turns names off and on one by one; a name keeps its actions meanwhile. Names may be
    // disabled before they have any.
    void disable(const QList<Name> &names);
    void enable(const QList<Name> &names);
    // Whether the name's shortcut would fire now (pausing aside).
    bool isEnabled(const Name &name) const;

    // Switching all shortcuts off unregisters every hot key but keeps them, ids included.
    bool isEnabled() const noexcept { return m_isEnabled; }
    void setEnabled(bool enabled);
    // Set while a recorder records: no hot key is registered and no action runs.
    bool isPaused() const noexcept { return m_isPaused; }
    void setPaused(bool paused);

    bool isActive(const Name &name) const;
    bool isShortcutInUse(const Shortcut &shortcut, const std::optional<Name> &excluding = std::nullopt) const;
    // Makes sure the shortcut has a hot key; nothing if it has one already.
    void registerHotKey(const Shortcut &shortcut);
    // Makes sure every shortcut in use has a hot key, after the system changed (the hot keys
    // went to the desktop's portal): those it refused before are registered again.
    void registerMissingHotKeys();
    // What the name stores now.
    std::optional<Shortcut> shortcut(const Name &name) const { return m_storage.getShortcut(name); }
    // The live hot key of a shortcut, if it has one.
    const HotKey *hotKey(const Shortcut &shortcut) const;

    void registerIfNeeded(const Name &name) override;
    void releaseHotKeyIfUnused(const Name &name) override;

    // Runs the actions of every enabled name that stores `shortcut`, then their streams, then
    // the streams of the shortcut itself. Nothing while paused. Actions attached or removed
    // meanwhile take effect from the next event.
    void handleEvent(EventType type, const Shortcut &shortcut);

    // Event streams add one action per event type and remove both when they end, which
    // releases the hot key if nothing else needs it.
    StreamId addStreamActions(const Name &name, Action keyDown, Action keyUp);
    StreamId addStreamActions(const Shortcut &shortcut, Action keyDown, Action keyUp);
    void removeStreamActions(StreamId id, const Name &name);
    void removeStreamActions(StreamId id, const Shortcut &shortcut);

private:
    struct Tables {
        std::map<Name, std::vector<Action>> names;
        std::map<Name, std::map<StreamId, Action>> nameStreams;
        std::map<Shortcut, std::map<StreamId, Action>> shortcutStreams;
    };

    Tables &tables(EventType type) { return type == EventType::keyDown ? m_keyDown : m_keyUp; }
    bool hasActionsOrStreams(const Name &name) const;
    bool hasStreams(const Name &name) const;
    bool storesShortcut(const Name &name, const Shortcut &shortcut) const;
    void releaseIfUnused(const Shortcut &shortcut);
    void applyToCentre();

    HotKeyCenter &m_centre;
    ShortcutStorage &m_storage;
    Tables m_keyDown;
    Tables m_keyUp;
    std::set<Name> m_disabledNames;
    bool m_isEnabled = true;
    bool m_isPaused = false;
    StreamId m_lastStreamId = 0;
    // The hot keys' only owner.
    std::map<Shortcut, std::shared_ptr<HotKey>> m_hotKeys;
};

} // namespace vantora::GlobalShortcuts
