#include "shortcuts/DeclinedShortcuts.h"

#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/Name.h"
#include "shortcuts/ShortcutStorage.h"

#include "platform/HotKeyBackend.h"
#include "runtime/NotificationCenter.h"

namespace vantora::GlobalShortcuts {

DeclinedShortcuts::DeclinedShortcuts(const HotKeyCenter &centre, ShortcutStorage &storage,
                                     runtime::NotificationCenter &notifications, QObject *parent)
    : QObject(parent)
    , m_centre(centre)
    , m_storage(storage)
{
    notifications.addObserver(this, platform::desktopTriggersDidChange,
                              [this](const runtime::Notification &) { storeDeclined(); });
}

void DeclinedShortcuts::storeDeclined()
{
    for (const Name &name : m_storage.storedNames()) {
        const auto shortcut = m_storage.getShortcut(name);
        const auto binding = shortcut ? m_centre.desktopBinding(*shortcut) : std::nullopt;
        if (binding && binding->state == platform::DesktopBinding::State::refused
            && binding->refusal == platform::DesktopBinding::Refusal::cancelled)
            m_storage.storeDeclined(name);
    }
}

} // namespace vantora::GlobalShortcuts
