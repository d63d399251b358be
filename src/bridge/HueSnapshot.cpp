#include "bridge/HueSnapshot.h"

#include "runtime/Strings.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace vantora {

namespace {

constexpr qint64 coolestMirek = 153;
constexpr qint64 warmestMirek = 500;

QString unnamedLightName()
{
    return QCoreApplication::translate("vantora::HueSnapshot", "Light");
}

// For each light, the first room in list order that lists it, through its device or
// directly; looked up through two maps so that large homes join in linear time.
class RoomLookup final {
public:
    explicit RoomLookup(const std::vector<const HueResource *> &rooms)
        : m_rooms(rooms)
    {
        for (std::size_t index = 0; index < rooms.size(); ++index) {
            if (!rooms[index]->children)
                continue;
            for (const HueReference &child : *rooms[index]->children) {
                if (child.rtype == ClipType::device)
                    m_byDevice.try_emplace(child.rid, index);
                else if (child.rtype == ClipType::light)
                    m_byLight.try_emplace(child.rid, index);
            }
        }
    }

    const HueResource *roomOf(const HueResource &light) const
    {
        std::size_t first = noRoom;
        if (light.owner)
            first = std::min(first, lookup(m_byDevice, light.owner->rid));
        first = std::min(first, lookup(m_byLight, light.id));
        return first == noRoom ? nullptr : m_rooms[first];
    }

private:
    static constexpr std::size_t noRoom = std::numeric_limits<std::size_t>::max();

    static std::size_t lookup(const std::unordered_map<QString, std::size_t> &map, const QString &id)
    {
        const auto found = map.find(id);
        return found == map.end() ? noRoom : found->second;
    }

    const std::vector<const HueResource *> &m_rooms;
    std::unordered_map<QString, std::size_t> m_byDevice;
    std::unordered_map<QString, std::size_t> m_byLight;
};

// For each owner, the status of its first connectivity service in list order. A light
// without an owner matches the first service without one.
class StatusLookup final {
public:
    explicit StatusLookup(const std::vector<const HueResource *> &services)
    {
        for (const HueResource *service : services) {
            if (!service->owner) {
                if (!m_ownerless)
                    m_ownerless = service;
            } else {
                m_byOwner.try_emplace(service->owner->rid, service);
            }
        }
    }

    std::optional<QString> statusOf(const HueResource &light) const
    {
        const HueResource *service = m_ownerless;
        if (light.owner) {
            const auto found = m_byOwner.find(light.owner->rid);
            service = found == m_byOwner.end() ? nullptr : found->second;
        }
        return service ? service->status : std::nullopt;
    }

private:
    std::unordered_map<QString, const HueResource *> m_byOwner;
    const HueResource *m_ownerless = nullptr;
};

bool isReachable(const std::optional<QString> &status)
{
    return !(status == ClipStatus::connectivityIssue || status == ClipStatus::disconnected);
}

void applyTemperature(const HueResource::Temperature &temperature, HueLight &light)
{
    qint64 lower = coolestMirek;
    qint64 upper = warmestMirek;
    if (temperature.mirek_schema) {
        lower = std::max(temperature.mirek_schema->mirek_minimum, coolestMirek);
        upper = std::min(temperature.mirek_schema->mirek_maximum, warmestMirek);
    }
    if (lower <= upper)
        light.temperatureRange = MirekRange{lower, upper};
    light.temperature = temperature.mirek;
    light.temperatureIsActive = temperature.mirek_valid == true && temperature.mirek.has_value();
}

HueLight makeLight(const HueResource &resource, const RoomLookup &rooms, const StatusLookup &statuses)
{
    HueLight light;
    light.id = resource.id;
    light.name = resource.metadata && resource.metadata->name ? *resource.metadata->name : unnamedLightName();

    if (const HueResource *room = rooms.roomOf(resource)) {
        light.roomID = room->id;
        light.roomName = room->metadata && room->metadata->name ? *room->metadata->name
                                                                : HueLight::unassignedRoomName();
    } else {
        light.roomID = HueLight::unassignedRoomID;
        light.roomName = HueLight::unassignedRoomName();
    }

    light.isReachable = isReachable(statuses.statusOf(resource));
    light.isOn = resource.on && resource.on->on;
    if (resource.dimming)
        light.brightness = resource.dimming->brightness;
    light.minimumBrightness = 1.0;
    if (resource.color) {
        light.color = resource.color->xy;
        light.gamut = resource.color->gamut;
    }
    if (resource.color_temperature)
        applyTemperature(*resource.color_temperature, light);
    return light;
}

// The first bridge home names the grouped light of the whole home; later ones are never read.
std::optional<QString> wholeHomeGroupID(const std::vector<HueResource> &resources)
{
    const auto home = std::find_if(resources.begin(), resources.end(),
                                   [](const HueResource &resource) { return resource.type == ClipType::bridgeHome; });
    if (home == resources.end() || !home->services)
        return std::nullopt;
    for (const HueReference &service : *home->services) {
        if (service.rtype == ClipType::groupedLight)
            return service.rid;
    }
    return std::nullopt;
}

} // namespace

HueSnapshot HueSnapshot::fromResources(const std::vector<HueResource> &resources)
{
    std::vector<const HueResource *> rooms;
    std::vector<const HueResource *> services;
    std::vector<const HueResource *> lightResources;
    for (const HueResource &resource : resources) {
        if (resource.type == ClipType::room)
            rooms.push_back(&resource);
        else if (resource.type == ClipType::zigbeeConnectivity)
            services.push_back(&resource);
        else if (resource.type == ClipType::light)
            lightResources.push_back(&resource);
    }

    const RoomLookup roomLookup(rooms);
    const StatusLookup statusLookup(services);
    HueSnapshot snapshot;
    snapshot.lights.reserve(lightResources.size());
    for (const HueResource *resource : lightResources)
        snapshot.lights.push_back(makeLight(*resource, roomLookup, statusLookup));
    runtime::stableSortByLocalizedStandardOrder(snapshot.lights, [](const HueLight &light) { return light.name; });
    snapshot.allLightsGroupID = wholeHomeGroupID(resources);
    return snapshot;
}

std::vector<LightRoom> HueSnapshot::rooms() const
{
    // Groups in order of first appearance, so rooms whose names compare as equal keep a
    // fixed order from one refresh to the next.
    std::vector<LightRoom> named;
    std::optional<LightRoom> unassigned;
    std::unordered_map<QString, std::size_t> indexByID;
    for (const HueLight &light : lights) {
        if (light.roomID == HueLight::unassignedRoomID) {
            if (!unassigned)
                unassigned = LightRoom{light.roomID, light.roomName, {}};
            unassigned->lights.push_back(light);
            continue;
        }
        const auto [found, inserted] = indexByID.try_emplace(light.roomID, named.size());
        if (inserted)
            named.push_back(LightRoom{light.roomID, light.roomName, {}});
        named[found->second].lights.push_back(light);
    }
    runtime::stableSortByLocalizedStandardOrder(named, [](const LightRoom &room) { return room.name; });
    if (unassigned)
        named.push_back(std::move(*unassigned));
    return named;
}

HueSnapshot HueSnapshot::hidingUnavailable(bool hide) const
{
    if (!hide)
        return *this;
    HueSnapshot result{{}, allLightsGroupID};
    std::copy_if(lights.begin(), lights.end(), std::back_inserter(result.lights),
                 [](const HueLight &light) { return light.isReachable; });
    return result;
}

} // namespace vantora
