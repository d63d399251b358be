#pragma once

#include "shortcuts/EventType.h"
#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutActions.h"

#include "platform/HotKeyBackend.h"
#include "runtime/AsyncStream.h"
#include "runtime/TaskScope.h"

#include <memory>
#include <optional>
#include <variant>

namespace vantora::runtime {
class Clock;
}

namespace vantora::GlobalShortcuts {

class HotKeyCenter;

// One beat of a held shortcut.
struct RepeatTick final {
    friend bool operator==(const RepeatTick &, const RepeatTick &) = default;
};

// A shortcut's presses as streams to await, for a name (whatever it stores at the moment)
// or for a fixed combination. A stream makes the shortcut need its hot key while it is read;
// dropping it (or cancelling the reading task) gives that up again.
class ShortcutEvents final {
public:
    // `actions`, `centre` and `clock` must outlive every stream handed out.
    ShortcutEvents(ShortcutActions &actions, HotKeyCenter &centre, runtime::Clock &clock,
                   runtime::Executor &executor = runtime::mainExecutor());
    ~ShortcutEvents();

    ShortcutEvents(const ShortcutEvents &) = delete;
    ShortcutEvents &operator=(const ShortcutEvents &) = delete;

    // Every key-down and key-up, none dropped.
    runtime::AsyncStream<EventType> events(const Name &name);
    runtime::AsyncStream<EventType> events(const Shortcut &shortcut);
    // Only events of one type.
    runtime::AsyncStream<EventType> events(EventType type, const Name &name);
    runtime::AsyncStream<EventType> events(EventType type, const Shortcut &shortcut);

    // Ticks like a held key repeats: one at key-down, one after the keyboard's repeat delay,
    // then one per repeat interval until key-up (the desktop's values, read once, now).
    // Repeating stops early when the shortcuts are paused or switched off, or the name is
    // disabled or stores another shortcut. A reader that falls behind gets only the newest tick.
    runtime::AsyncStream<RepeatTick> repeatingKeyDownEvents(const Name &name);
    runtime::AsyncStream<RepeatTick> repeatingKeyDownEvents(const Shortcut &shortcut);

private:
    using Source = std::variant<Name, Shortcut>;
    using TickOutput = runtime::AsyncStream<RepeatTick>::Continuation;

    runtime::AsyncStream<EventType> eventStream(const Source &source, std::optional<EventType> only);
    runtime::AsyncStream<RepeatTick> repeatingStream(const Source &source);
    runtime::Task<void> driveRepeats(runtime::AsyncStream<EventType> events, TickOutput ticks, Source source,
                                     platform::KeyRepeat repeat);
    runtime::Task<void> repeatWhileHeld(TickOutput ticks, Source source, std::optional<Shortcut> heldShortcut,
                                        platform::KeyRepeat repeat);
    std::optional<Shortcut> currentShortcut(const Source &source) const;
    bool mayRepeat(const Source &source, const std::optional<Shortcut> &heldShortcut) const;

    ShortcutActions &m_actions;
    HotKeyCenter &m_centre;
    runtime::Clock &m_clock;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
    runtime::TaskScope m_scope;
};

} // namespace vantora::GlobalShortcuts
