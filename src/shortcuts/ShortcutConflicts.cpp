#include "ShortcutConflicts.h"

#include "shortcuts/HotKeyCenter.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace vantora::GlobalShortcuts {

std::vector<Shortcut> systemShortcuts(const std::vector<platform::SystemHotKey> &systemHotKeys)
{
    std::vector<Shortcut> shortcuts;
    shortcuts.reserve(systemHotKeys.size());
    for (const auto &[keyCode, modifiers] : systemHotKeys) {
        const Shortcut listed(keyCode, modifiers);
        shortcuts.push_back(isFunctionKeyCode(keyCode)
                                ? Shortcut(keyCode, listed.carbonModifiers & ~CarbonModifier::function)
                                : listed);
    }
    return shortcuts;
}

bool isTakenBySystem(const Shortcut &shortcut, const HotKeyCenter &centre)
{
    const bool isF12Alone = shortcut == Shortcut(Key::f12, {});
    const auto listed = systemShortcuts(centre.systemHotKeys());
    if (!isF12Alone && std::find(listed.begin(), listed.end(), shortcut) != listed.end())
        return true;
    return centre.isTakenByAnotherProgram(shortcut);
}

QAction *menuItemWithMatchingShortcut(const Shortcut &shortcut, const QMenu &menu,
                                      const platform::KeyboardLayout &layout)
{
    const auto sequence = shortcut.keySequence(layout);
    if (!sequence)
        return nullptr;
    for (QAction *item : menu.actions()) {
        const QList<QKeySequence> itemSequences = item->shortcuts();
        if (std::find(itemSequences.begin(), itemSequences.end(), *sequence) != itemSequences.end())
            return item;
        if (const auto *submenu = item->menu<QMenu *>()) {
            if (QAction *found = menuItemWithMatchingShortcut(shortcut, *submenu, layout))
                return found;
        }
    }
    return nullptr;
}

bool isDisallowed(const Shortcut &)
{
    return false;
}

} // namespace vantora::GlobalShortcuts
