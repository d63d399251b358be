#pragma once

#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"

#include <QByteArray>
#include <QKeySequence>
#include <QString>

#include <compare>
#include <optional>

namespace vantora::platform {
class KeyboardLayout;
}

namespace vantora::GlobalShortcuts {

struct KeyEvent;

// One key plus modifiers: what is stored, registered, compared and shown. Both numbers are
// Carbon's, so stored shortcuts mean the same on every machine: the key code is a place on
// the keyboard and the modifier mask holds command 0x100, shift 0x200, option 0x800,
// control 0x1000 and function 0x20000.
struct Shortcut final {
    qint64 carbonKeyCode = 0;
    qint64 carbonModifiers = 0;

    Shortcut() = default;
    // Keeps only the five modifier bits above (caps lock and the rest are dropped).
    Shortcut(qint64 carbonKeyCode, qint64 carbonModifiers);
    Shortcut(Key key, ModifierFlags modifiers);

    // The shortcut a key event presses; Fn is left out, since keyboards add it by themselves.
    static Shortcut fromKeyEvent(const KeyEvent &event);

    friend bool operator==(const Shortcut &, const Shortcut &) = default;
    friend auto operator<=>(const Shortcut &, const Shortcut &) = default;

    Key key() const noexcept { return Key{carbonKeyCode}; }
    ModifierFlags modifiers() const { return modifierFlags(carbonModifiers); }

    // What the layout prints on the key without modifiers, as one character; none for
    // special keys and for keys that print nothing.
    std::optional<QString> keyToCharacter(const platform::KeyboardLayout &layout) const;

    // "Ctrl+Alt+K": the modifiers, then the special key's name or the printed character in
    // upper case, or "�" when the key prints nothing.
    QString description(const platform::KeyboardLayout &layout) const;

    // The key sequence a menu item or button shows and answers to; none for keypad keys and
    // for keys that print nothing. Fn has no place in a key sequence and is left out.
    std::optional<QKeySequence> keySequence(const platform::KeyboardLayout &layout) const;
    // The shortcut whose key sequence on the layout is `sequence` (one combination, without
    // Fn); none where no key of the layout gives it.
    static std::optional<Shortcut> fromKeySequence(const QKeySequence &sequence, const platform::KeyboardLayout &layout);
};

inline size_t qHash(const Shortcut &shortcut, size_t seed = 0) noexcept
{
    return qHashMulti(seed, shortcut.carbonKeyCode, shortcut.carbonModifiers);
}

// The stored form: {"carbonKeyCode":40,"carbonModifiers":256}, compact, key code first.
QByteArray toJson(const Shortcut &shortcut);

// Reads the stored form: any JSON object with both members as integers, in any order.
// Values are taken as they are, not normalised. A missing or non-integer member, or a
// number outside 0…4294967295 (no key or mask can have it; hand-edited settings can), is a
// DecodingError.
Shortcut shortcutFromJson(const QByteArray &json);

} // namespace vantora::GlobalShortcuts
