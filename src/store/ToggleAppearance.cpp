#include "store/ToggleAppearance.h"

namespace vantora {

namespace {

constexpr QLatin1String retiredGraphite{"graphite"};

ToggleColor loadColor(runtime::UserDefaults &defaults)
{
    const auto stored = defaults.string(ToggleAppearance::preferenceKey);
    if (!stored)
        return ToggleColor::amber;
    if (*stored == retiredGraphite) {
        defaults.setString(ToggleAppearance::preferenceKey, rawValue(ToggleColor::purple));
        return ToggleColor::purple;
    }
    return fromRawValue<ToggleColor>(*stored).value_or(ToggleColor::amber);
}

} // namespace

ToggleAppearance::ToggleAppearance(runtime::UserDefaults &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_color(loadColor(defaults), [this] { Q_EMIT colorChanged(); })
{
}

void ToggleAppearance::setColor(ToggleColor color)
{
    m_color.set(color);
    m_defaults.setString(preferenceKey, rawValue(color));
}

} // namespace vantora
