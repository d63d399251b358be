#pragma once

#include "bridge/HueGamut.h"
#include "bridge/HueReference.h"
#include "bridge/HueXY.h"

#include <QJsonObject>
#include <QLatin1String>
#include <QString>

#include <optional>
#include <vector>

namespace vantora {

// The CLIP v2 resource types and reference types the model reads.
namespace ClipType {
inline constexpr QLatin1String light{"light"};
inline constexpr QLatin1String room{"room"};
inline constexpr QLatin1String zigbeeConnectivity{"zigbee_connectivity"};
inline constexpr QLatin1String bridgeHome{"bridge_home"};
inline constexpr QLatin1String device{"device"};
inline constexpr QLatin1String groupedLight{"grouped_light"};
} // namespace ClipType

// The statuses a zigbee connectivity service reports.
namespace ClipStatus {
inline constexpr QLatin1String connected{"connected"};
inline constexpr QLatin1String disconnected{"disconnected"};
inline constexpr QLatin1String connectivityIssue{"connectivity_issue"};
inline constexpr QLatin1String unidirectionalIncoming{"unidirectional_incoming"};
} // namespace ClipStatus

// The members of a light's state, named alike where the bridge reports them and where a
// change sets them.
namespace ClipMember {
inline constexpr QLatin1String on{"on"};
inline constexpr QLatin1String dimming{"dimming"};
inline constexpr QLatin1String brightness{"brightness"};
inline constexpr QLatin1String color{"color"};
inline constexpr QLatin1String xy{"xy"};
inline constexpr QLatin1String colorTemperature{"color_temperature"};
inline constexpr QLatin1String mirek{"mirek"};
} // namespace ClipMember

// One resource of the bridge's flat resource list. Only lights, rooms, zigbee
// connectivity services and the bridge home are read beyond their id and type; for every
// other type the optional fields stay absent, so the many types we ignore can never make
// the list fail.
struct HueResource {
    struct Metadata {
        std::optional<QString> name{};
    };

    struct OnState {
        bool on = false;
    };

    struct Dimming {
        double brightness = 0; // percent
        std::optional<double> min_dim_level{};
    };

    struct Colour {
        HueXY xy{};
        std::optional<HueGamut> gamut{};
    };

    struct Temperature {
        struct Schema {
            qint64 mirek_minimum = 0;
            qint64 mirek_maximum = 0;
        };

        // Bridges send null while the light shows a colour.
        std::optional<qint64> mirek{};
        std::optional<bool> mirek_valid{};
        std::optional<Schema> mirek_schema{};
    };

    QString id{};
    QString type{};
    std::optional<HueReference> owner{};
    std::optional<Metadata> metadata{};
    std::optional<std::vector<HueReference>> children{};
    std::optional<std::vector<HueReference>> services{};
    std::optional<OnState> on{};
    std::optional<QString> status{};
    std::optional<Dimming> dimming{};
    std::optional<Colour> color{};
    std::optional<Temperature> color_temperature{};
};

// Whether a resource list keeps, with their id and type, the resources of the types the
// model does not read. Their id and type are checked either way.
enum class IgnoredResources {
    kept,
    // For the snapshot, which would pass over them.
    skipped,
};

QJsonObject toJson(const HueResource::OnState &state);

} // namespace vantora
