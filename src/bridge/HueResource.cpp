#include "bridge/HueResource.h"

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
const QString id = QStringLiteral("id");
const QString type = QStringLiteral("type");
const QString owner = QStringLiteral("owner");
const QString metadata = QStringLiteral("metadata");
const QString children = QStringLiteral("children");
const QString services = QStringLiteral("services");
const QString status = QStringLiteral("status");
const QString name = QStringLiteral("name");
const QString archetype = QStringLiteral("archetype");
const QString minDimLevel = QStringLiteral("min_dim_level");
const QString gamut = QStringLiteral("gamut");
const QString mirekValid = QStringLiteral("mirek_valid");
const QString mirekSchema = QStringLiteral("mirek_schema");
const QString mirekMinimum = QStringLiteral("mirek_minimum");
const QString mirekMaximum = QStringLiteral("mirek_maximum");
} // namespace key

bool isReadInDetail(const QString &type)
{
    return type == ClipType::light || type == ClipType::room || type == ClipType::zigbeeConnectivity
        || type == ClipType::bridgeHome;
}

std::optional<std::vector<HueReference>> optionalReferences(const runtime::json::ObjectReader &object,
                                                           const QString &member)
{
    const auto array = object.optional<QJsonArray>(member);
    if (!array)
        return std::nullopt;
    return runtime::json::decodeArray(*array, object.pathOf(member), &runtime::json::decode<HueReference>);
}

} // namespace

QJsonObject toJson(const HueResource::OnState &state)
{
    return QJsonObject{{key::on, state.on}};
}

std::vector<HueResource> decodeResourceList(const QJsonArray &data, const QString &path)
{
    return runtime::json::decodeArray(data, path, &runtime::json::decode<HueResource>);
}

} // namespace vantora

namespace vantora::runtime::json {

template <>
HueResource::Metadata decode<HueResource::Metadata>(const QJsonValue &value, const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return {.name = object.optional<QString>(key::name), .archetype = object.optional<QString>(key::archetype)};
}

template <>
HueResource::OnState decode<HueResource::OnState>(const QJsonValue &value, const QString &path)
{
    return {.on = decode<ObjectReader>(value, path).required<bool>(key::on)};
}

template <>
HueResource::Dimming decode<HueResource::Dimming>(const QJsonValue &value, const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return {.brightness = object.required<double>(key::brightness),
            .min_dim_level = object.optional<double>(key::minDimLevel)};
}

template <>
HueResource::Colour decode<HueResource::Colour>(const QJsonValue &value, const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return {.xy = object.required<HueXY>(key::xy), .gamut = object.optional<HueGamut>(key::gamut)};
}

template <>
HueResource::Temperature::Schema decode<HueResource::Temperature::Schema>(const QJsonValue &value,
                                                                          const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return {.mirek_minimum = object.required<qint64>(key::mirekMinimum),
            .mirek_maximum = object.required<qint64>(key::mirekMaximum)};
}

template <>
HueResource::Temperature decode<HueResource::Temperature>(const QJsonValue &value, const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return {.mirek = object.optional<qint64>(key::mirek),
            .mirek_valid = object.optional<bool>(key::mirekValid),
            .mirek_schema = object.optional<HueResource::Temperature::Schema>(key::mirekSchema)};
}

template <>
HueResource decode<HueResource>(const QJsonValue &value, const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
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

} // namespace vantora::runtime::json
