#include "settings/UrlOpener.h"

#include <QDesktopServices>

namespace vantora {

UrlOpener desktopUrlOpener()
{
    return [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

} // namespace vantora
