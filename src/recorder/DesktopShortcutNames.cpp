#include "recorder/DesktopShortcutNames.h"

#include "recorder/ApplicationShortcuts.h"
#include "recorder/RecorderTexts.h"

#include "shortcuts/ModifierFlags.h"
#include "shortcuts/ShortcutStorage.h"

#include <utility>

namespace vantora::recorder {

std::optional<platform::PortalAction> desktopShortcutName(const GlobalShortcuts::ShortcutStorage &storage,
                                                          quint32 carbonKeyCode, quint32 carbonModifiers)
{
    const std::pair<GlobalShortcuts::Name, QString> actions[] = {
        {GlobalShortcuts::showVantora(), RecorderTexts::showOrHideApp()},
        {GlobalShortcuts::toggleHomeLights(), RecorderTexts::toggleAllLights()},
    };
    // Fn is not part of what is registered.
    const auto registered = [](qint64 modifiers) { return modifiers & ~GlobalShortcuts::CarbonModifier::function; };
    for (const auto &[name, description] : actions) {
        const auto stored = storage.getShortcut(name);
        if (stored && quint32(stored->carbonKeyCode) == carbonKeyCode &&
            registered(stored->carbonModifiers) == registered(carbonModifiers))
            return platform::PortalAction{name.rawValue, description};
    }
    return std::nullopt;
}

} // namespace vantora::recorder
