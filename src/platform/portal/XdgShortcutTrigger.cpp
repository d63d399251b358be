#include "platform/portal/XdgShortcutTrigger.h"

#include "platform/x11/XkbKeyboardLayout.h"

#include <array>
#include <utility>

namespace vantora::platform {

std::optional<QString> xdgShortcutTrigger(quint32 carbonKeyCode, quint32 carbonModifiers,
                                          const XkbKeyboardLayout &layout)
{
    constexpr quint32 carbonFunction = 0x20000;
    constexpr std::array<std::pair<quint32, const char *>, 4> modifierNames{{
        {0x1000, "CTRL"},
        {0x800, "ALT"},
        {0x200, "SHIFT"},
        {0x100, "LOGO"},
    }};
    if (carbonModifiers & carbonFunction)
        return std::nullopt;
    const auto keysym = layout.keysymName(carbonKeyCode);
    if (!keysym)
        return std::nullopt;
    QString trigger;
    for (const auto &[bit, name] : modifierNames) {
        if (carbonModifiers & bit)
            trigger += QLatin1String(name) + QLatin1Char('+');
    }
    return trigger + QString::fromLatin1(*keysym);
}

} // namespace vantora::platform
