#include "recorder/ShortcutsPageRules.h"

#include "shortcuts/ModifierFlags.h"
#include "shortcuts/ShortcutStorage.h"

#include <QCoreApplication>

#include <algorithm>

namespace vantora::recorder {

using GlobalShortcuts::ModifierFlag;
using GlobalShortcuts::ValidationResult;

GlobalShortcuts::ValidationResult shortcutMessage(const GlobalShortcuts::ShortcutStorage &storage,
                                                  const GlobalShortcuts::Shortcut &shortcut,
                                                  const GlobalShortcuts::Name &other)
{
    // Shift, Alt and Fn may come along, but never in place of Ctrl or Super.
    if (!shortcut.modifiers().testAnyFlags(ModifierFlag::command | ModifierFlag::control))
        return ValidationResult::disallow(
            QCoreApplication::translate("GlobalShortcutsView", "Include Ctrl or Super in your shortcut."));
    if (storage.getShortcut(other) == shortcut)
        return ValidationResult::disallow(QCoreApplication::translate(
            "GlobalShortcutsView",
            "This shortcut is already used by the other vantora action. Choose a different combination."));
    return ValidationResult::allow();
}

int shortcutsPageHeight(std::optional<int> visibleScreenHeight)
{
    constexpr int fullHeight = 542;
    constexpr int screenMargin = 48;
    if (!visibleScreenHeight)
        return fullHeight;
    return std::max(0, std::min(fullHeight, *visibleScreenHeight - screenMargin));
}

} // namespace vantora::recorder
