#include "settings/UrlOpener.h"

#include <QDesktopServices>

namespace vantora {

UrlOpener desktopUrlOpener()
{
    return [](const QUrl &url) {
        // An activation token still in the environment was handed to the application for a
        // window of its own (a launcher's, which the X11 toolkit never takes); the program
        // opened would take it for its own window.
        qunsetenv("XDG_ACTIVATION_TOKEN");
        return QDesktopServices::openUrl(url);
    };
}

} // namespace vantora
