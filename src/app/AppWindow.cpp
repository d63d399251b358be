#include "app/AppWindow.h"

#include <QCoreApplication>

#include <utility>

namespace vantora {

QString idOf(AppWindow window)
{
    switch (window) {
    case AppWindow::about:
        return QStringLiteral("about");
    case AppWindow::welcome:
        return QStringLiteral("welcome");
    case AppWindow::preview:
        return QStringLiteral("preview");
    case AppWindow::emptyPreview:
        return QStringLiteral("empty-preview");
    case AppWindow::motionPreview:
        return QStringLiteral("motion-preview");
    case AppWindow::brightnessPreview:
        return QStringLiteral("brightness-preview");
    }
    Q_UNREACHABLE();
}

QString titleOf(AppWindow window)
{
    switch (window) {
    case AppWindow::about:
        return QCoreApplication::translate("AppWindow", "About vantora");
    case AppWindow::welcome:
        return QCoreApplication::translate("AppWindow", "vantora");
    case AppWindow::preview:
        return QCoreApplication::translate("AppWindow", "vantora Preview");
    case AppWindow::emptyPreview:
        return QCoreApplication::translate("AppWindow", "vantora — No lights preview");
    case AppWindow::motionPreview:
        return QCoreApplication::translate("AppWindow", "vantora — Motion examples");
    case AppWindow::brightnessPreview:
        return QCoreApplication::translate("AppWindow", "vantora — Brightness examples");
    }
    Q_UNREACHABLE();
}

std::optional<AppWindow> launchWindow(const LaunchFlags &flags, bool isConnected, bool hasUnexpectedIssue)
{
    static constexpr std::pair<LaunchFlag, AppWindow> byPriority[] = {
        {LaunchFlag::shortcutPreview, AppWindow::preview},
        {LaunchFlag::brightnessPreview, AppWindow::brightnessPreview},
        {LaunchFlag::motionPreview, AppWindow::motionPreview},
        {LaunchFlag::emptyPreview, AppWindow::emptyPreview},
        {LaunchFlag::welcomePreview, AppWindow::welcome},
        {LaunchFlag::previewWindow, AppWindow::preview},
        {LaunchFlag::slowPreview, AppWindow::preview},
        {LaunchFlag::arrivalPreview, AppWindow::preview},
    };
    for (const auto &[flag, window] : byPriority) {
        if (flags.has(flag))
            return window;
    }
    if (!isConnected || hasUnexpectedIssue)
        return AppWindow::welcome;
    return std::nullopt;
}

} // namespace vantora
