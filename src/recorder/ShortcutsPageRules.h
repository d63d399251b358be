#pragma once

#include "recorder/ValidationResult.h"

#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"

#include <optional>

namespace vantora::GlobalShortcuts {
class ShortcutStorage;
}

namespace vantora::recorder {

// The keyboard-shortcuts page's own rule for a recorded shortcut: it must hold Ctrl or Super,
// and must not be what the other action already has. Reads the stored shortcuts only.
GlobalShortcuts::ValidationResult shortcutMessage(const GlobalShortcuts::ShortcutStorage &storage,
                                                  const GlobalShortcuts::Shortcut &shortcut,
                                                  const GlobalShortcuts::Name &other);

// The page's height: 542, or less on a screen whose visible height leaves no 48 to spare.
int shortcutsPageHeight(std::optional<int> visibleScreenHeight);

} // namespace vantora::recorder
