#pragma once

#include <QString>

#include <optional>

namespace vantora::platform {

class XkbKeyboardLayout;

// A combination in the text desktops read a shortcut from ("CTRL+ALT+l", "LOGO+SHIFT+F5"):
// modifier names, then the XKB name of the symbol the key gives without modifiers on the
// user's layout. Carbon's modifiers map by place: control to CTRL, option to ALT, shift to
// SHIFT, command to LOGO. None for keys without a symbol and for Fn, which no desktop binds.
std::optional<QString> xdgShortcutTrigger(quint32 carbonKeyCode, quint32 carbonModifiers,
                                          const XkbKeyboardLayout &layout);

} // namespace vantora::platform
