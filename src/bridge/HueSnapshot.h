#pragma once

#include "bridge/HueLight.h"
#include "bridge/HueResource.h"
#include "bridge/LightRoom.h"

#include <QString>

#include <optional>
#include <vector>

namespace vantora {

// All lights of the bridge at one moment: the unit of refresh. The empty snapshot has no
// lights and no group id.
struct HueSnapshot {
    // In localized name order; lights with names that compare as equal keep the bridge's order.
    std::vector<HueLight> lights{};
    // The grouped light that spans the whole home.
    std::optional<QString> allLightsGroupID{};

    // Builds the snapshot from the bridge's resource list, in the bridge's order. Pure:
    // every light gets its room (through its device or directly), its reachability from
    // its connectivity service and its capabilities; resources of other types are ignored.
    static HueSnapshot fromResources(const std::vector<HueResource> &resources);

    // A fixed home of five lights in three rooms, built once per process.
    static const HueSnapshot &demo();
    // A generated home of `lightCount` lights (0 or more) covering every kind of light,
    // in index order; lights share names across rooms but never ids.
    static HueSnapshot sample(int lightCount);

    // The lights grouped by room: named rooms in localized name order (equal names in
    // order of first appearance), the unassigned lights last.
    std::vector<LightRoom> rooms() const;

    // With `hide` true only the reachable lights, in order; otherwise the snapshot itself.
    HueSnapshot hidingUnavailable(bool hide) const;

    bool operator==(const HueSnapshot &) const = default;
};

} // namespace vantora
