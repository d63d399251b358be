#include "app/LaunchFlags.h"

#include <array>

namespace vantora {

namespace {

constexpr std::array<QLatin1String, launchFlagCount> arguments{
    QLatin1String("--welcome-preview"),
    QLatin1String("--slow-preview"),
    QLatin1String("--arrival-preview"),
    QLatin1String("--preview-error"),
    QLatin1String("--preview-expired-key"),
    QLatin1String("--demo"),
    QLatin1String("--menu-preview"),
    QLatin1String("--motion-preview"),
    QLatin1String("--brightness-preview"),
    QLatin1String("--shortcut-preview"),
    QLatin1String("--empty-preview"),
    QLatin1String("--empty-home"),
    QLatin1String("--many-lights"),
    QLatin1String("--no-bridge"),
    QLatin1String("--unexpected-error"),
    QLatin1String("--preview-window"),
    QLatin1String("--dark"),
    QLatin1String("--2x-preview"),
};

} // namespace

QLatin1String argumentOf(LaunchFlag flag)
{
    return arguments[std::size_t(flag)];
}

LaunchFlags LaunchFlags::parse(const QStringList &given)
{
    LaunchFlags flags;
    for (std::size_t i = 0; i < arguments.size(); ++i)
        flags.m_flags.set(i, given.contains(arguments[i], Qt::CaseSensitive));
    return flags;
}

} // namespace vantora
