#pragma once

#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"

#include <optional>

class QAction;

namespace vantora::platform {
class KeyboardLayout;
}
namespace vantora::runtime {
class NotificationCenter;
}

namespace vantora::GlobalShortcuts {

class ShortcutStorage;

// Shows user-assignable shortcuts on menu items. A bound item follows its name's stored
// shortcut; when the name stores none (or the binding ends) the item gets back the key
// sequence it had before it was first bound. Binding keeps no item alive: an item deleted
// while bound simply stops following.
class MenuItemShortcuts final {
public:
    // All three must outlive every binding.
    MenuItemShortcuts(ShortcutStorage &storage, runtime::NotificationCenter &notifications,
                      const platform::KeyboardLayout &layout);

    // With a name: shows its shortcut now and after every change; binding again (to the same
    // or another name) replaces the binding. Without one: ends the binding and restores the
    // item's own key sequence.
    void bindShortcut(QAction &item, const std::optional<Name> &name);

    // Shows the shortcut once (nothing for none), ending any binding without restoring.
    void setShortcut(QAction &item, const std::optional<Shortcut> &shortcut);

private:
    ShortcutStorage &m_storage;
    runtime::NotificationCenter &m_notifications;
    const platform::KeyboardLayout &m_layout;
};

} // namespace vantora::GlobalShortcuts
