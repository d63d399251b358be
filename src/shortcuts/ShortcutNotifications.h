#pragma once

#include "shortcuts/Name.h"

#include "runtime/NotificationCenter.h"

#include <optional>

namespace vantora::GlobalShortcuts {

// Posted after every change of a stored shortcut; userInfo "name" holds the Name.
inline const QString shortcutByNameDidChange = QStringLiteral("GlobalShortcuts_shortcutByNameDidChange");
// Posted when a shortcut recorder starts or stops recording; userInfo "isActive" holds a bool.
inline const QString recorderActiveStatusDidChange = QStringLiteral("GlobalShortcuts_recorderActiveStatusDidChange");

inline const QString nameUserInfoKey = QStringLiteral("name");
inline const QString isActiveUserInfoKey = QStringLiteral("isActive");

// The Name a change notification is about; none when it carries no Name.
std::optional<Name> shortcutName(const runtime::Notification &notification);

// Whether a recorder notification says recording is on; false when it does not say.
bool recorderIsActive(const runtime::Notification &notification);

} // namespace vantora::GlobalShortcuts
