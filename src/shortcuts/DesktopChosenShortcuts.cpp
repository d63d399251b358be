#include "shortcuts/DesktopChosenShortcuts.h"

#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutStorage.h"

#include "platform/HotKeyBackend.h"
#include "runtime/NotificationCenter.h"

#include <algorithm>

namespace vantora::GlobalShortcuts {

DesktopChosenShortcuts::DesktopChosenShortcuts(const HotKeyCenter &centre, ShortcutStorage &storage,
                                               const platform::KeyboardLayout &layout,
                                               runtime::NotificationCenter &notifications, QObject *parent)
    : QObject(parent)
    , m_centre(centre)
    , m_storage(storage)
    , m_layout(layout)
{
    notifications.addObserver(this, platform::desktopTriggersDidChange,
                              [this](const runtime::Notification &) { storeChosen(); });
}

void DesktopChosenShortcuts::storeChosen()
{
    const QSet<Name> names = m_storage.storedNames();
    for (const Name &name : names) {
        const auto shortcut = m_storage.getShortcut(name);
        const auto binding = shortcut ? m_centre.desktopBinding(*shortcut) : std::nullopt;
        if (!binding || !binding->isChosenByDesktop || binding->trigger.isEmpty())
            continue;
        const auto chosen =
            Shortcut::fromKeySequence(QKeySequence::fromString(binding->trigger, QKeySequence::PortableText), m_layout);
        const bool storedElsewhere = chosen && std::any_of(names.begin(), names.end(), [&](const Name &other) {
            return other != name && m_storage.getShortcut(other) == chosen;
        });
        if (chosen && !storedElsewhere)
            m_storage.setShortcut(chosen, name);
    }
}

} // namespace vantora::GlobalShortcuts
