#include "bridge/HueResource.h"

#include "bridge/ClipDecoders.h"

#include <array>
#include <string_view>

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

} // namespace

} // namespace vantora

namespace vantora::strictjson {

template <>
HueResource::Metadata decode<HueResource::Metadata>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    // Checked, though nothing reads it, so that the same replies pass as ever.
    object.optional<std::string_view>(key::archetype);
    return {.name = object.optional<QString>(key::name)};
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

} // namespace vantora::strictjson

namespace vantora {

namespace {

bool isReadInDetail(std::string_view type)
{
    const auto is = [type](QLatin1String readType) {
        return type == std::string_view(readType.data(), std::size_t(readType.size()));
    };
    return is(ClipType::light) || is(ClipType::room) || is(ClipType::zigbeeConnectivity) || is(ClipType::bridgeHome);
}

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

struct SharedText {
    std::string_view utf8;
    QString text;
};

SharedText shared(QLatin1String word)
{
    return {std::string_view(word.data(), std::size_t(word.size())), QString(word)};
}

std::optional<std::vector<HueReference>> optionalReferences(const strictjson::ObjectReader &object,
                                                           QLatin1String member)
{
    const auto array = object.optional<strictjson::Array>(member);
    if (!array)
        return std::nullopt;
    return strictjson::decodeArray(*array, object.path().member(member), &strictjson::decode<HueReference>);
}

void decodeDetails(const strictjson::ObjectReader &object, HueResource &resource)
{
    resource.owner = object.optional<HueReference>(key::owner);
    resource.metadata = object.optional<HueResource::Metadata>(key::metadata);
    resource.children = optionalReferences(object, key::children);
    resource.services = optionalReferences(object, key::services);
    resource.on = object.optional<HueResource::OnState>(key::on);
    if (const auto status = object.optional<std::string_view>(key::status))
        resource.status = recurringText(*status);
    resource.dimming = object.optional<HueResource::Dimming>(key::dimming);
    resource.color = object.optional<HueResource::Colour>(key::color);
    resource.color_temperature = object.optional<HueResource::Temperature>(key::colorTemperature);
}

} // namespace

QJsonObject toJson(const HueResource::OnState &state)
{
    return QJsonObject{{key::on, state.on}};
}

QString recurringText(std::string_view utf8)
{
    static const std::array words{
        shared(ClipType::light),
        shared(ClipType::room),
        shared(ClipType::zigbeeConnectivity),
        shared(ClipType::bridgeHome),
        shared(ClipType::device),
        shared(ClipType::groupedLight),
        shared(ClipStatus::connected),
        shared(ClipStatus::disconnected),
        shared(ClipStatus::connectivityIssue),
        shared(ClipStatus::unidirectionalIncoming),
    };
    for (const SharedText &word : words) {
        if (word.utf8 == utf8)
            return word.text;
    }
    return text(utf8);
}

std::vector<HueResource> decodeResourceList(strictjson::Array data, const strictjson::Path &path,
                                            IgnoredResources ignored)
{
    // Not reserved for every element: most of a home's resources are of types passed over.
    std::vector<HueResource> resources;
    std::size_t index = 0;
    for (const strictjson::Element value : data) {
        const strictjson::Path resourcePath = path.element(index++);
        const strictjson::ObjectReader object(value, resourcePath);
        const auto id = object.required<std::string_view>(key::id);
        const auto type = object.required<std::string_view>(key::type);
        const bool readInDetail = isReadInDetail(type);
        if (!readInDetail && ignored == IgnoredResources::skipped)
            continue;
        HueResource &resource = resources.emplace_back(HueResource{.id = text(id), .type = recurringText(type)});
        if (readInDetail)
            decodeDetails(object, resource);
    }
    return resources;
}

} // namespace vantora
