#include "ShortcutNotifications.h"

namespace vantora::GlobalShortcuts {

std::optional<Name> shortcutName(const runtime::Notification &notification)
{
    const QVariant value = notification.userInfo.value(nameUserInfoKey);
    if (value.metaType() != QMetaType::fromType<Name>())
        return std::nullopt;
    return value.value<Name>();
}

bool recorderIsActive(const runtime::Notification &notification)
{
    const QVariant value = notification.userInfo.value(isActiveUserInfoKey);
    return value.metaType() == QMetaType::fromType<bool>() && value.toBool();
}

} // namespace vantora::GlobalShortcuts
