#pragma once

#include "app/LaunchFlags.h"

#include <QString>

#include <optional>

namespace vantora {

// The windows the application opens on request, besides the panel.
enum class AppWindow : quint8 {
    about,
    welcome,
    preview,
    emptyPreview,
    motionPreview,
    brightnessPreview,
};

// The window's id, such as "empty-preview".
QString idOf(AppWindow window);
QString titleOf(AppWindow window);

// The one window a launch opens: the first window a flag asks for, in a fixed order;
// without such a flag the welcome window when the store is not connected or an issue is
// already recorded; otherwise none.
std::optional<AppWindow> launchWindow(const LaunchFlags &flags, bool isConnected, bool hasUnexpectedIssue);

} // namespace vantora
