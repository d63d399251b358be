#include "bridge/HueRequestGuard.h"

#include "bridge/HueError.h"
#include "bridge/MirekRange.h"
#include "runtime/Strings.h"

#include <array>
#include <cmath>

namespace vantora::HueRequestGuard {

namespace {

constexpr std::array<qsizetype, 5> uuidGroupLengths{8, 4, 4, 4, 12};
constexpr QChar uuidSeparator = u'-';

// What the bridge's light interface accepts, whatever a single light can do.
constexpr double maximumBrightness = 100.0;
constexpr MirekRange interfaceMirekRange{153, 500};

bool isWithinInterfaceRange(double brightness)
{
    return std::isfinite(brightness) && brightness >= 0.0 && brightness <= maximumBrightness;
}

} // namespace

bool isUuid(QStringView text)
{
    const auto groups = text.split(uuidSeparator);
    if (groups.size() != qsizetype(uuidGroupLengths.size()))
        return false;
    for (std::size_t i = 0; i < uuidGroupLengths.size(); ++i) {
        const QStringView group = groups[qsizetype(i)];
        if (group.size() != uuidGroupLengths[i] || runtime::containsNonHexDigit(group))
            return false;
    }
    return true;
}

void requireResourceId(QStringView id)
{
    if (!isUuid(id))
        throw HueError::invalidResponse();
}

void requireSendable(const LightChange &change)
{
    const bool sendable = !change.isEmpty()
        && (!change.brightness || isWithinInterfaceRange(*change.brightness))
        && (!change.color || change.color->isValid())
        && !(change.color && change.temperature)
        && (!change.temperature || interfaceMirekRange.clamped(*change.temperature) == *change.temperature);
    if (!sendable)
        throw HueError::invalidResponse();
}

} // namespace vantora::HueRequestGuard
