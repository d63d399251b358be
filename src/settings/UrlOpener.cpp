#include "settings/UrlOpener.h"

#include <QDesktopServices>

namespace vantora {

UrlOpener desktopUrlOpener()
{
    return [](const QUrl &url) {
        // A launcher's launch id and activation token were handed to the application for a
        // window of its own, and stay in its environment where its toolkit never takes them
        // (the X11 toolkit takes only the launch id, the Wayland toolkit neither at start):
        // the program opened would take them for its own window, or tell the launcher that
        // the application's start is done once that program's is.
        qunsetenv("DESKTOP_STARTUP_ID");
        qunsetenv("XDG_ACTIVATION_TOKEN");
        return QDesktopServices::openUrl(url);
    };
}

} // namespace vantora
