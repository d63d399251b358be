#pragma once

#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/ShortcutActions.h"
#include "shortcuts/ShortcutStorage.h"

#include "platform/x11/X11HotKeys.h"
#include "platform/x11/XkbKeyboardLayout.h"
#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"

#include <memory>

namespace vantora::testing {

// The shortcut services on the X server of DISPLAY, as the app builds them, over in-memory
// defaults and a private notification centre.
struct X11ShortcutServices {
    runtime::MemoryUserDefaults defaults;
    runtime::NotificationCenter notifications;
    platform::X11HotKeys backend;
    std::unique_ptr<platform::XkbKeyboardLayout> layout = platform::XkbKeyboardLayout::fromDisplay();
    GlobalShortcuts::ShortcutStorage storage{defaults, notifications};
    GlobalShortcuts::HotKeyCenter centre{backend, *layout, notifications};
    GlobalShortcuts::ShortcutActions actions{centre, storage};
};

} // namespace vantora::testing
