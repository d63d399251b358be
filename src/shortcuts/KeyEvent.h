#pragma once

#include "shortcuts/EventType.h"
#include "shortcuts/ModifierFlags.h"

#include <optional>

class QEvent;

namespace vantora::platform {
class KeyboardLayout;
}

namespace vantora::GlobalShortcuts {

// A key going down or up in one of our own windows, in the terms shortcuts are compared in.
struct KeyEvent final {
    EventType type = EventType::keyDown;
    qint64 carbonKeyCode = 0;
    ModifierFlags modifierFlags;
    // A key-down the keyboard generated because the key is held.
    bool isRepeat = false;

    friend bool operator==(const KeyEvent &, const KeyEvent &) = default;

    // The key press or release of a Qt event; none for any other event and for keys that
    // have no Carbon code (the layout places the event's native scan code).
    static std::optional<KeyEvent> fromQt(const QEvent &event, const platform::KeyboardLayout &layout);
};

} // namespace vantora::GlobalShortcuts
