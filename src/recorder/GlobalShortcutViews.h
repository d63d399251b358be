#pragma once

#include "shortcuts/EventType.h"
#include "shortcuts/Name.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QWidget;

namespace vantora::platform {
class KeyboardLayout;
}
namespace vantora::runtime {
class NotificationCenter;
}
namespace vantora::ui {
class ViewTask;
}

namespace vantora::GlobalShortcuts {

class ShortcutEvents;
class ShortcutStorage;

// Runs `action` for every key-down and key-up of the name's shortcut while `view` is on
// screen. The task belongs to the view.
ui::ViewTask *onKeyboardShortcutEvent(QWidget *view, ShortcutEvents &events, const Name &name,
                                      std::function<void(EventType)> action);
// The same, for one type of event only.
ui::ViewTask *onKeyboardShortcutEvent(QWidget *view, ShortcutEvents &events, const Name &name, EventType type,
                                      std::function<void()> action);

// Gives an action (a button's or a menu item's) the named shortcut as its own key sequence,
// keeps it current when the user records another, and withdraws it while any recorder
// records, so the recorder gets the keys instead. Lives as long as the action.
class GlobalKeyboardShortcut final : public QObject {
    Q_OBJECT
public:
    GlobalKeyboardShortcut(QAction &action, Name name, const ShortcutStorage &storage,
                           const platform::KeyboardLayout &layout, runtime::NotificationCenter &notifications);
    ~GlobalKeyboardShortcut() override;

    bool isRecorderActive() const noexcept { return m_isRecorderActive; }

private:
    void refresh();

    QPointer<QAction> m_action;
    Name m_name;
    const ShortcutStorage &m_storage;
    const platform::KeyboardLayout &m_layout;
    runtime::NotificationCenter &m_notifications;
    bool m_isRecorderActive = false;
};

} // namespace vantora::GlobalShortcuts
