#include "app/PlatformChoice.h"

namespace vantora {

bool isWaylandSession(const QProcessEnvironment &environment)
{
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
}

std::optional<QByteArray> forcedQtPlatform(const QProcessEnvironment &environment)
{
    const auto isSet = [&](const char *name) { return !environment.value(QString::fromLatin1(name)).isEmpty(); };
    if (isSet("QT_QPA_PLATFORM") || !isSet("DISPLAY") || !isWaylandSession(environment))
        return std::nullopt;
    return QByteArrayLiteral("xcb");
}

bool namesNoDisplay(const QProcessEnvironment &environment)
{
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    return environment.value(QStringLiteral("DISPLAY")).isEmpty()
        && environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        && (platform.isEmpty() || platform == QLatin1String("xcb"));
}

} // namespace vantora
