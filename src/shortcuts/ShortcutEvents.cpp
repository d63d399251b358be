#include "ShortcutEvents.h"

#include "shortcuts/HotKeyCenter.h"

#include "runtime/Clock.h"

namespace vantora::GlobalShortcuts {

ShortcutEvents::ShortcutEvents(ShortcutActions &actions, HotKeyCenter &centre, runtime::Clock &clock,
                               runtime::Executor &executor)
    : m_actions(actions)
    , m_centre(centre)
    , m_clock(clock)
    , m_scope(executor)
{
}

ShortcutEvents::~ShortcutEvents() = default;

runtime::AsyncStream<EventType> ShortcutEvents::events(const Name &name)
{
    return eventStream(name, std::nullopt);
}

runtime::AsyncStream<EventType> ShortcutEvents::events(const Shortcut &shortcut)
{
    return eventStream(shortcut, std::nullopt);
}

runtime::AsyncStream<EventType> ShortcutEvents::events(EventType type, const Name &name)
{
    return eventStream(name, type);
}

runtime::AsyncStream<EventType> ShortcutEvents::events(EventType type, const Shortcut &shortcut)
{
    return eventStream(shortcut, type);
}

runtime::AsyncStream<RepeatTick> ShortcutEvents::repeatingKeyDownEvents(const Name &name)
{
    return repeatingStream(name);
}

runtime::AsyncStream<RepeatTick> ShortcutEvents::repeatingKeyDownEvents(const Shortcut &shortcut)
{
    return repeatingStream(shortcut);
}

runtime::AsyncStream<EventType> ShortcutEvents::eventStream(const Source &source, std::optional<EventType> only)
{
    // Not a structured binding: lambdas cannot capture one before clang 16.
    auto made = runtime::AsyncStream<EventType>::make();
    auto &stream = made.first;
    auto &continuation = made.second;
    auto yielding = [continuation, only](EventType type) {
        return [continuation, only, type] {
            if (!only || *only == type)
                continuation.yield(type);
        };
    };
    const ShortcutActions::StreamId id = std::visit(
        [&](const auto &target) {
            return m_actions.addStreamActions(target, yielding(EventType::keyDown), yielding(EventType::keyUp));
        },
        source);
    continuation.setOnTermination([alive = std::weak_ptr<char>(m_alive), &actions = m_actions, id, source] {
        if (alive.expired())
            return;
        std::visit([&](const auto &target) { actions.removeStreamActions(id, target); }, source);
    });
    return std::move(stream);
}

runtime::AsyncStream<RepeatTick> ShortcutEvents::repeatingStream(const Source &source)
{
    auto events = eventStream(source, std::nullopt);
    const platform::KeyRepeat repeat = m_centre.keyRepeat();
    auto [ticks, output] = runtime::AsyncStream<RepeatTick>::make(1);
    const runtime::TaskHandle<void> driving = m_scope.spawn(driveRepeats(std::move(events), output, source, repeat));
    output.setOnTermination([driving] { driving.cancel(); });
    return std::move(ticks);
}

runtime::Task<void> ShortcutEvents::driveRepeats(runtime::AsyncStream<EventType> events, TickOutput ticks,
                                                 Source source, platform::KeyRepeat repeat)
{
    // At most one repetition at a time; it ends with the stream whatever ends it.
    struct Repetition {
        runtime::TaskHandle<void> handle;
        ~Repetition() { handle.cancel(); }
    } repetition;

    while (true) {
        const std::optional<EventType> event = co_await events.next();
        if (!event)
            break;
        repetition.handle.cancel();
        repetition.handle = {};
        if (*event == EventType::keyDown) {
            ticks.yield({});
            repetition.handle = m_scope.spawn(repeatWhileHeld(ticks, source, currentShortcut(source), repeat));
        }
    }
    ticks.finish();
}

runtime::Task<void> ShortcutEvents::repeatWhileHeld(TickOutput ticks, Source source,
                                                    std::optional<Shortcut> heldShortcut, platform::KeyRepeat repeat)
{
    co_await m_clock.sleepFor(repeat.delay);
    while (true) {
        const bool cancelled = co_await runtime::isCancelled();
        if (cancelled || !mayRepeat(source, heldShortcut))
            co_return;
        ticks.yield({});
        co_await m_clock.sleepFor(repeat.interval);
    }
}

std::optional<Shortcut> ShortcutEvents::currentShortcut(const Source &source) const
{
    if (const auto *shortcut = std::get_if<Shortcut>(&source))
        return *shortcut;
    return m_actions.shortcut(std::get<Name>(source));
}

bool ShortcutEvents::mayRepeat(const Source &source, const std::optional<Shortcut> &heldShortcut) const
{
    if (m_actions.isPaused() || !m_actions.isEnabled())
        return false;
    if (const auto *shortcut = std::get_if<Shortcut>(&source))
        return m_actions.hotKey(*shortcut) != nullptr;
    // The name's own check covers it being disabled, storing nothing and having no hot key.
    const Name &name = std::get<Name>(source);
    return m_actions.isEnabled(name) && heldShortcut && heldShortcut == m_actions.shortcut(name);
}

} // namespace vantora::GlobalShortcuts
