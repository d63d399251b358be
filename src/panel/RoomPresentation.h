#pragma once

#include "bridge/HueSnapshot.h"

#include <QSet>
#include <QStringList>

#include <optional>
#include <vector>

namespace vantora {

// What the lights list shows for the home as a whole and for each room, as plain values.
namespace roomPresentation {

// The rooms in list order: favourites first, in the order they were chosen (ids of rooms
// that are gone are skipped), then the other rooms in display order, "Other lights" last.
std::vector<LightRoom> orderedRooms(const HueSnapshot &snapshot, const QStringList &favouriteRoomIDs);
// The number of real rooms (lights in no room do not make one).
int roomCount(const HueSnapshot &snapshot);
// "2 rooms", "1 light": the noun is singular for exactly one.
QString roomText(int rooms);
QString lightText(int lights);

// What one room's title row and card show.
struct Room final {
    bool isFavourite = false;
    // Two other rooms are favourites already: this heart is disabled.
    bool favouriteLimitReached = false;
    QString favouriteLabel{};
    QString favouriteHelp{};

    bool isExpanded = false;
    bool brightnessDisabled = false;
    double shownBrightness = 0;

    // Some reachable light of the room is on: the power control turns the room off.
    bool anyLightOn = false;
    bool powerDisabled = false;
    QString powerLabel{};
    QString powerHelp{};

    bool isUpdating = false;

    friend bool operator==(const Room &, const Room &) = default;
};

struct RoomContext final {
    QStringList favouriteRoomIDs{};
    std::optional<QString> expandedRoomID{};
    // The brightness last sent for the expanded room.
    std::optional<double> brightnessDraft{};
    bool controlsLocked = false;
    QSet<QString> updatingLightIDs{};
};

Room room(const LightRoom &room, const RoomContext &context);

// Some reachable light of `lights` is on.
bool anyLightOn(const std::vector<HueLight> &lights);

// Which way the home power buttons switch: on unless some reachable light is on, or as the
// store's full snapshot says when that is known.
bool homeTurnsOn(std::optional<bool> allLightsAreOff, const HueSnapshot &snapshot);
bool homePowerDisabled(bool controlsLocked, const HueSnapshot &snapshot);

} // namespace roomPresentation

} // namespace vantora
