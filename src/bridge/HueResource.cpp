#include "bridge/HueResource.h"

#include "bridge/ClipDecoders.h"

namespace vantora {

namespace {
namespace key {
using ClipMember::brightness;
using ClipMember::color;
using ClipMember::colorTemperature;
using ClipMember::dimming;
using ClipMember::mirek;
using ClipMember::on;
using ClipMember::xy;
constexpr QLatin1String id{"id"};
constexpr QLatin1String type{"type"};
constexpr QLatin1String owner{"owner"};
constexpr QLatin1String metadata{"metadata"};
constexpr QLatin1String children{"children"};
constexpr QLatin1String services{"services"};
constexpr QLatin1String status{"status"};
constexpr QLatin1String name{"name"};
constexpr QLatin1String archetype{"archetype"};
constexpr QLatin1String minDimLevel{"min_dim_level"};
constexpr QLatin1String gamut{"gamut"};
constexpr QLatin1String mirekValid{"mirek_valid"};
constexpr QLatin1String mirekSchema{"mirek_schema"};
constexpr QLatin1String mirekMinimum{"mirek_minimum"};
constexpr QLatin1String mirekMaximum{"mirek_maximum"};
} // namespace key

bool isReadInDetail(const QString &type)
{
    return type == ClipType::light || type == ClipType::room || type == ClipType::zigbeeConnectivity
        || type == ClipType::bridgeHome;
}

std::optional<std::vector<HueReference>> optionalReferences(const strictjson::ObjectReader &object,
                                                           QLatin1String member)
{
    const auto array = object.optional<strictjson::Array>(member);
    if (!array)
        return std::nullopt;
    return strictjson::decodeArray(*array, object.path().member(member), &strictjson::decode<HueReference>);
}

} // namespace

QJsonObject toJson(const HueResource::OnState &state)
{
    return QJsonObject{{key::on, state.on}};
}

} // namespace vantora

namespace vantora::strictjson {

template <>
HueResource::Metadata decode<HueResource::Metadata>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return {.name = object.optional<QString>(key::name), .archetype = object.optional<QString>(key::archetype)};
}

template <>
HueResource::OnState decode<HueResource::OnState>(Element value, const Path &path)
{
    return {.on = ObjectReader(value, path).required<bool>(key::on)};
}

template <>
HueResource::Dimming decode<HueResource::Dimming>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return {.brightness = object.required<double>(key::brightness),
            .min_dim_level = object.optional<double>(key::minDimLevel)};
}

template <>
HueResource::Colour decode<HueResource::Colour>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return {.xy = object.required<HueXY>(key::xy), .gamut = object.optional<HueGamut>(key::gamut)};
}

template <>
HueResource::Temperature::Schema decode<HueResource::Temperature::Schema>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return {.mirek_minimum = object.required<qint64>(key::mirekMinimum),
            .mirek_maximum = object.required<qint64>(key::mirekMaximum)};
}

template <>
HueResource::Temperature decode<HueResource::Temperature>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return {.mirek = object.optional<qint64>(key::mirek),
            .mirek_valid = object.optional<bool>(key::mirekValid),
            .mirek_schema = object.optional<HueResource::Temperature::Schema>(key::mirekSchema)};
}

template <>
HueResource decode<HueResource>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    HueResource resource{.id = object.required<QString>(key::id), .type = object.required<QString>(key::type)};
    if (!isReadInDetail(resource.type))
        return resource;
    resource.owner = object.optional<HueReference>(key::owner);
    resource.metadata = object.optional<HueResource::Metadata>(key::metadata);
    resource.children = optionalReferences(object, key::children);
    resource.services = optionalReferences(object, key::services);
    resource.on = object.optional<HueResource::OnState>(key::on);
    resource.status = object.optional<QString>(key::status);
    resource.dimming = object.optional<HueResource::Dimming>(key::dimming);
    resource.color = object.optional<HueResource::Colour>(key::color);
    resource.color_temperature = object.optional<HueResource::Temperature>(key::colorTemperature);
    return resource;
}

} // namespace vantora::strictjson
