#pragma once

#include <QFlags>
#include <QSet>
#include <QString>
#include <QStringList>
#include <Qt>

#include <optional>

namespace vantora::GlobalShortcuts {

// The modifiers of a key event, with fixed bit values: shortcuts written by any version of
// the app compare alike. On Linux control is Ctrl, option is Alt, command is Super; caps
// lock, the numeric pad, help and function are carried along but never make a shortcut.
enum class ModifierFlag : quint32 {
    capsLock = 0x10000,
    shift = 0x20000,
    control = 0x40000,
    option = 0x80000,
    command = 0x100000,
    numericPad = 0x200000,
    help = 0x400000,
    function = 0x800000,
};
Q_DECLARE_FLAGS(ModifierFlags, ModifierFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ModifierFlags)

// The modifier bits a shortcut stores and a hot key registers with.
namespace CarbonModifier {
inline constexpr qint64 command = 0x100;
inline constexpr qint64 shift = 0x200;
inline constexpr qint64 option = 0x800;
inline constexpr qint64 control = 0x1000;
inline constexpr qint64 function = 0x20000;
} // namespace CarbonModifier

// Control, option, shift, command and function to their stored bits; other flags are dropped.
qint64 carbonModifiers(ModifierFlags flags);
// The five stored bits back to flags; every other bit is dropped.
ModifierFlags modifierFlags(qint64 carbonModifiers);
// A stored mask with only the five known bits left.
qint64 normalizedCarbonModifiers(qint64 carbonModifiers);

// "⌃⌥⇧⌘" in that order, then the globe for function; caps lock, numeric pad and help
// print nothing.
QString symbolicDescription(ModifierFlags flags);
// The modifiers as a Linux desktop names them, in the same order: Ctrl, Alt, Shift, Super, Fn.
QStringList modifierNames(ModifierFlags flags);

// Qt's modifiers for key sequences and key events: Ctrl, Alt, Shift, Meta (Super) and
// Keypad. Qt has none for caps lock, help or function.
Qt::KeyboardModifiers eventModifiers(ModifierFlags flags);
ModifierFlags modifierFlags(Qt::KeyboardModifiers modifiers);

// F1 to F35: the keys that make a shortcut without any other modifier.
const QSet<Qt::Key> &functionKeySet();

// The one-character string of a Unicode scalar value; none for surrogates and values
// beyond U+10FFFF.
std::optional<QString> stringFromUnicodeScalar(qint64 value);

} // namespace vantora::GlobalShortcuts
