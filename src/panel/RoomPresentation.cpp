#include "panel/RoomPresentation.h"

#include "store/RoomFavourites.h"

#include <QCoreApplication>

#include <algorithm>

namespace vantora::roomPresentation {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::LightsHomeView)
};

bool isReachableAndOn(const HueLight &light)
{
    return light.isReachable && light.isOn;
}

} // namespace

std::vector<LightRoom> orderedRooms(const HueSnapshot &snapshot, const QStringList &favouriteRoomIDs)
{
    return RoomFavourites::ordered(snapshot.rooms(), favouriteRoomIDs);
}

int roomCount(const HueSnapshot &snapshot)
{
    const std::vector<LightRoom> rooms = snapshot.rooms();
    return int(std::count_if(rooms.begin(), rooms.end(),
                             [](const LightRoom &room) { return room.id != HueLight::unassignedRoomID; }));
}

QString roomText(int rooms)
{
    return rooms == 1 ? Texts::tr("%1 room").arg(rooms) : Texts::tr("%1 rooms").arg(rooms);
}

QString lightText(int lights)
{
    return lights == 1 ? Texts::tr("%1 light").arg(lights) : Texts::tr("%1 lights").arg(lights);
}

bool anyLightOn(const std::vector<HueLight> &lights)
{
    return std::any_of(lights.begin(), lights.end(), isReachableAndOn);
}

Room room(const LightRoom &room, const RoomContext &context)
{
    const auto &lights = room.lights;
    Room shown;
    shown.isFavourite = context.favouriteRoomIDs.contains(room.id);
    shown.favouriteLimitReached = !shown.isFavourite && context.favouriteRoomIDs.size() >= RoomFavourites::limit;
    // The heart's pressed state tells whether the room is a favourite; the name stays.
    shown.favouriteLabel = Texts::tr("Favourite %1").arg(room.name);
    if (shown.favouriteLimitReached)
        shown.favouriteHelp = Texts::tr("You can favourite two rooms. Unfavourite one first.");
    else if (shown.isFavourite)
        shown.favouriteHelp = Texts::tr("Remove from favourites");
    else
        shown.favouriteHelp = Texts::tr("Pin this room to the top");

    const bool hasAdjustableLight = std::any_of(lights.begin(), lights.end(), [](const HueLight &light) {
        return light.isReachable && light.brightness.has_value();
    });
    const bool hasReachableLight =
        std::any_of(lights.begin(), lights.end(), [](const HueLight &light) { return light.isReachable; });

    shown.isExpanded = context.expandedRoomID == room.id;
    shown.brightnessDisabled = context.controlsLocked || !hasAdjustableLight;
    if (shown.isExpanded && context.brightnessDraft)
        shown.shownBrightness = *context.brightnessDraft;
    else
        shown.shownBrightness = room.averageBrightness().value_or(0);

    shown.anyLightOn = anyLightOn(lights);
    shown.powerDisabled = context.controlsLocked || !hasReachableLight;
    // Read as a check box, checked while a light is on: the name stays as the lights go on
    // and off, and the state says which.
    shown.powerLabel = Texts::tr("%1 lights").arg(room.name);
    shown.powerHelp = shown.anyLightOn ? Texts::tr("Turn all reachable lights in %1 off").arg(room.name)
                                       : Texts::tr("Turn all reachable lights in %1 on").arg(room.name);

    shown.isUpdating = std::any_of(lights.begin(), lights.end(),
                                   [&](const HueLight &light) { return context.updatingLightIDs.contains(light.id); });
    return shown;
}

bool homeTurnsOn(std::optional<bool> allLightsAreOff, const HueSnapshot &snapshot)
{
    if (allLightsAreOff)
        return *allLightsAreOff;
    return !anyLightOn(snapshot.lights);
}

bool homePowerDisabled(bool controlsLocked, const HueSnapshot &snapshot)
{
    return controlsLocked
        || std::none_of(snapshot.lights.begin(), snapshot.lights.end(),
                        [](const HueLight &light) { return light.isReachable; });
}

} // namespace vantora::roomPresentation
