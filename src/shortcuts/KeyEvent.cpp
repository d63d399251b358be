#include "KeyEvent.h"

#include "platform/KeyboardLayout.h"

#include <QKeyEvent>

namespace vantora::GlobalShortcuts {

std::optional<KeyEvent> KeyEvent::fromQt(const QEvent &event, const platform::KeyboardLayout &layout)
{
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease)
        return std::nullopt;
    const auto &key = static_cast<const QKeyEvent &>(event);
    const auto carbonKeyCode = layout.carbonKeyCode(key.nativeScanCode());
    if (!carbonKeyCode)
        return std::nullopt;
    return KeyEvent{event.type() == QEvent::KeyPress ? EventType::keyDown : EventType::keyUp, *carbonKeyCode,
                    GlobalShortcuts::modifierFlags(key.modifiers()), key.isAutoRepeat()};
}

} // namespace vantora::GlobalShortcuts
