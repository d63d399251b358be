#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace vantora {

// The accent colour of the "on" light toggles and of the room edge slider. The raw value
// is what user defaults hold and also serves as the colour's identity.
enum class ToggleColor {
    amber,
    aqua,
    blue,
    green,
    purple,
};

// Every colour, in the order the picker shows its swatches.
inline constexpr std::array<ToggleColor, 5> allToggleColors{
    ToggleColor::amber, ToggleColor::aqua, ToggleColor::blue, ToggleColor::green, ToggleColor::purple,
};

// "amber", "aqua", "blue", "green", "purple".
QString rawValue(ToggleColor color);

// The raw value with its first letter in upper case: "Aqua".
QString name(ToggleColor color);

template <typename Enum>
std::optional<Enum> fromRawValue(QStringView text);

// Exactly one of the raw values, case-sensitive; anything else ("Aqua", "graphite", the
// empty text) is absent.
template <>
std::optional<ToggleColor> fromRawValue<ToggleColor>(QStringView text);

} // namespace vantora
