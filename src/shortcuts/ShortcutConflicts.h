#pragma once

#include "shortcuts/Shortcut.h"

#include "platform/HotKeyBackend.h"

#include <vector>

class QAction;
class QMenu;

namespace vantora::platform {
class KeyboardLayout;
}

namespace vantora::GlobalShortcuts {

class HotKeyCenter;

// The checks a recorded shortcut goes through before it is accepted.

// The system's listed shortcuts as shortcuts: normalised, and without Fn on the keys that
// carry it by themselves, so they compare equal to what a recorder records.
std::vector<Shortcut> systemShortcuts(const std::vector<platform::SystemHotKey> &systemHotKeys);

// Whether the desktop or another program holds the shortcut: listed by the system (F12
// alone excepted, which the system lists but lets programs have), or refused to us by the
// X server right now. Our own hot keys do not count.
bool isTakenBySystem(const Shortcut &shortcut, const HotKeyCenter &centre);

// The first item of the menu, searched depth-first through submenus (separators, hidden and
// disabled items included), that answers to the same key sequence; null when none does.
// Keypad keys and keys that print nothing never match.
QAction *menuItemWithMatchingShortcut(const Shortcut &shortcut, const QMenu &menu,
                                      const platform::KeyboardLayout &layout);

// Whether the system refuses the combination to this program. Linux desktops refuse none;
// the answer is there for the recorder's policy to ask.
bool isDisallowed(const Shortcut &shortcut);

} // namespace vantora::GlobalShortcuts
