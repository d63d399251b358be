#pragma once

#include <functional>

class QMenu;

namespace vantora::platform {
class KeyboardLayout;
}
namespace vantora::runtime {
class NotificationCenter;
}

namespace vantora::GlobalShortcuts {
class HotKeyCenter;
class ShortcutActions;
class ShortcutStorage;
} // namespace vantora::GlobalShortcuts

namespace vantora::recorder {

class RecorderAlerts;

// What a shortcut recorder works with: the application's shortcut services, the
// application's commands a recorded shortcut must not repeat, and the ways it talks back.
// Everything must outlive the recorders that use it.
struct RecorderServices final {
    GlobalShortcuts::ShortcutStorage &storage;
    // Paused while a recorder records, so that no hot key grabs the keys being recorded.
    GlobalShortcuts::ShortcutActions &actions;
    // Holds back the hot keys of a recorded key until the hand lets go of it.
    GlobalShortcuts::HotKeyCenter &centre;
    const platform::KeyboardLayout &layout;
    runtime::NotificationCenter &notifications;
    RecorderAlerts &alerts;
    // The menu whose items' shortcuts a recorded shortcut is checked against; null for none.
    std::function<const QMenu *()> applicationMenu;
    // The sound of a key that cannot make a shortcut.
    std::function<void()> beep;
};

} // namespace vantora::recorder
