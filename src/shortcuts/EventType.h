#pragma once

#include <QtGlobal>

namespace vantora::GlobalShortcuts {

// Whether a shortcut's key went down or came back up.
enum class EventType : quint8 {
    keyDown,
    keyUp,
};

} // namespace vantora::GlobalShortcuts
