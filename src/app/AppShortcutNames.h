#pragma once

#include "shortcuts/Name.h"

namespace vantora::appShortcuts {

// The application's two global shortcuts. Neither has a shortcut until the user records one.
inline GlobalShortcuts::Name showVantora()
{
    return GlobalShortcuts::Name(QStringLiteral("showVantora"));
}

inline GlobalShortcuts::Name toggleHomeLights()
{
    return GlobalShortcuts::Name(QStringLiteral("toggleHomeLights"));
}

} // namespace vantora::appShortcuts
