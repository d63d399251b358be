#pragma once

#include "shortcuts/Name.h"

namespace vantora::GlobalShortcuts {

// The application's two global shortcuts; neither has a shortcut until the user records one.
// Functions rather than constants, so that nothing is made before the application exists.
inline Name showVantora()
{
    return Name(QStringLiteral("showVantora"));
}

inline Name toggleHomeLights()
{
    return Name(QStringLiteral("toggleHomeLights"));
}

} // namespace vantora::GlobalShortcuts
