#pragma once

#include <QString>

#include <optional>

namespace vantora::platform {

// The user's keyboard as it is laid out right now, addressed by Carbon virtual key codes
// (places on the keyboard). Shortcut names and menu key equivalents ask it what a key
// prints; key events from Qt ask it which place their native scan code is.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;

    // The one character the key prints without modifiers in the first layout group that
    // types ASCII letters (the active group first, so a Cyrillic layout beside a Latin one
    // still names keys in Latin). Dead keys give their spacing accent. None for keys that
    // print nothing, control characters or more than one character, and for unknown codes.
    virtual std::optional<QString> character(qint64 carbonKeyCode) const = 0;

    // The Carbon key code of a key event's native scan code (the X key code); none for
    // keys without one.
    virtual std::optional<qint64> carbonKeyCode(quint32 nativeScanCode) const = 0;
};

} // namespace vantora::platform
