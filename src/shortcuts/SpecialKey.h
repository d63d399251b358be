#pragma once

#include <QString>
#include <Qt>

#include <optional>

namespace vantora::GlobalShortcuts {

// The keys that print no character, named by what they do rather than by the layout.
enum class SpecialKey : quint8 {
    returnKey, deleteKey, deleteForward, end, escape, help, home, space, tab, pageUp, pageDown,
    upArrow, rightArrow, downArrow, leftArrow,
    f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17, f18, f19, f20,
    keypad0, keypad1, keypad2, keypad3, keypad4, keypad5, keypad6, keypad7, keypad8, keypad9,
    keypadClear, keypadDecimal, keypadDivide, keypadEnter, keypadEquals, keypadMinus, keypadMultiply, keypadPlus,
};

// The special key at a Carbon key code, if it is one.
std::optional<SpecialKey> specialKey(qint64 carbonKeyCode);

// The key's name as a Linux desktop shows it in a shortcut ("Return", "PgUp", "Num+5").
QString presentableDescription(SpecialKey key);

// The key for a Qt key sequence; none for the keypad keys, which menus never show.
std::optional<Qt::Key> keyEquivalent(SpecialKey key);

} // namespace vantora::GlobalShortcuts
