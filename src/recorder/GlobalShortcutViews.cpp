#include "recorder/GlobalShortcutViews.h"

#include "shortcuts/ShortcutEvents.h"
#include "shortcuts/ShortcutNotifications.h"
#include "shortcuts/ShortcutStorage.h"

#include "runtime/NotificationCenter.h"

#include "ui/ViewTask.h"

#include <QAction>

namespace vantora::GlobalShortcuts {

namespace {

runtime::Task<void> forward(runtime::AsyncStream<EventType> stream, std::function<void(EventType)> action)
{
    while (const auto event = co_await stream.next())
        action(*event);
}

} // namespace

ui::ViewTask *onKeyboardShortcutEvent(QWidget *view, ShortcutEvents &events, const Name &name,
                                      std::function<void(EventType)> action)
{
    return new ui::ViewTask(view, [&events, name, action = std::move(action)] {
        return forward(events.events(name), action);
    });
}

ui::ViewTask *onKeyboardShortcutEvent(QWidget *view, ShortcutEvents &events, const Name &name, EventType type,
                                      std::function<void()> action)
{
    return new ui::ViewTask(view, [&events, name, type, action = std::move(action)] {
        return forward(events.events(type, name), [action](EventType) { action(); });
    });
}

GlobalKeyboardShortcut::GlobalKeyboardShortcut(QAction &action, Name name, const ShortcutStorage &storage,
                                               const platform::KeyboardLayout &layout,
                                               runtime::NotificationCenter &notifications)
    : QObject(&action)
    , m_action(&action)
    , m_name(std::move(name))
    , m_storage(storage)
    , m_layout(layout)
    , m_notifications(notifications)
{
    m_notifications.addObserver(this, shortcutByNameDidChange, [this](const runtime::Notification &notification) {
        const auto changed = shortcutName(notification);
        if (changed && changed->rawValue == m_name.rawValue)
            refresh();
    });
    m_notifications.addObserver(this, recorderActiveStatusDidChange, [this](const runtime::Notification &notification) {
        m_isRecorderActive = recorderIsActive(notification);
        refresh();
    });
    refresh();
}

GlobalKeyboardShortcut::~GlobalKeyboardShortcut()
{
    m_notifications.removeObservers(this);
}

void GlobalKeyboardShortcut::refresh()
{
    if (!m_action)
        return;
    std::optional<QKeySequence> sequence;
    if (!m_isRecorderActive) {
        if (const auto shortcut = m_storage.getShortcut(m_name))
            sequence = shortcut->keySequence(m_layout);
    }
    m_action->setShortcut(sequence.value_or(QKeySequence()));
}

} // namespace vantora::GlobalShortcuts
