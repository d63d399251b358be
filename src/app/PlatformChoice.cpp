#include "app/PlatformChoice.h"

namespace vantora {

std::optional<QByteArray> forcedQtPlatform(const QProcessEnvironment &environment)
{
    const auto isSet = [&](const char *name) { return !environment.value(QString::fromLatin1(name)).isEmpty(); };
    if (isSet("QT_QPA_PLATFORM") || !isSet("DISPLAY"))
        return std::nullopt;
    const bool wayland =
        isSet("WAYLAND_DISPLAY") || environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
    if (!wayland)
        return std::nullopt;
    return QByteArrayLiteral("xcb");
}

} // namespace vantora
