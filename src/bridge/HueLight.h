#pragma once

#include "bridge/BrightnessFloor.h"
#include "bridge/HueGamut.h"
#include "bridge/HueXY.h"
#include "bridge/LightColour.h"
#include "bridge/MirekRange.h"

#include <QString>

#include <optional>

namespace vantora {

// The application's view of one light, identified by `id`. Names come from the bridge and
// are plain text.
struct HueLight {
    // The room id and name of a light whose device no room lists.
    static constexpr QLatin1String unassignedRoomID{"unassigned"};
    static QString unassignedRoomName();

    QString id{};
    QString name{};
    QString roomID{};
    QString roomName{};
    bool isOn = false;
    bool isReachable = false;
    // Percent; absent when the light cannot be dimmed.
    std::optional<double> brightness{};
    // Every light the model builds gets 1.
    BrightnessFloor minimumBrightness{};
    // Absent when the light has no colour.
    std::optional<HueXY> color{};
    // Absent when the bridge reports none.
    std::optional<HueGamut> gamut{};
    // As the bridge reports it, which may lie outside temperatureRange.
    std::optional<qint64> temperature{};
    // Absent when the light has no white temperature.
    std::optional<MirekRange> temperatureRange{};
    // The light shows its white temperature rather than a colour.
    bool temperatureIsActive = false;

    bool supportsColor() const { return color.has_value(); }
    bool hasAdjustableControls() const { return brightness || color || temperatureRange; }

    // The sRGB colour the light's row is tinted with: its white temperature when that is
    // active, its colour when it has one, else a warm amber.
    LightColour::Rgb displayColour() const;

    bool operator==(const HueLight &) const = default;
};

} // namespace vantora
