#pragma once

#include "platform/portal/PortalHotKeys.h"

#include <optional>

namespace vantora::GlobalShortcuts {
class ShortcutStorage;
}

namespace vantora::recorder {

// How the desktop lists the global shortcut stored with these keys: by the action's name,
// which stays the same whatever keys are recorded, and by what it does, in the words of the
// shortcuts page's rows. None for keys stored for no action.
std::optional<platform::PortalAction> desktopShortcutName(const GlobalShortcuts::ShortcutStorage &storage,
                                                          quint32 carbonKeyCode, quint32 carbonModifiers);

} // namespace vantora::recorder
