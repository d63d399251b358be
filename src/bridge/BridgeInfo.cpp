#include "bridge/BridgeInfo.h"

#include "bridge/ClipDecoders.h"

namespace vantora {

namespace {

constexpr QLatin1String bridgeidKey{"bridgeid"};
constexpr QLatin1String nameKey{"name"};
constexpr QLatin1String modelidKey{"modelid"};

} // namespace

QJsonObject toJson(const BridgeInfo &info)
{
    QJsonObject object{{bridgeidKey, info.bridgeid}, {nameKey, info.name}};
    if (info.modelid)
        object.insert(modelidKey, *info.modelid);
    return object;
}

} // namespace vantora

template <>
vantora::BridgeInfo vantora::runtime::json::decode<vantora::BridgeInfo>(const QJsonValue &value,
                                                                      const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return vantora::BridgeInfo{
        .bridgeid = object.required<QString>(QString(vantora::bridgeidKey)),
        .name = object.required<QString>(QString(vantora::nameKey)),
        .modelid = object.optional<QString>(QString(vantora::modelidKey)),
    };
}

// What the bridge says of itself, read as strictly as its other replies.
template <>
vantora::BridgeInfo vantora::strictjson::decode<vantora::BridgeInfo>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return vantora::BridgeInfo{
        .bridgeid = object.required<QString>(vantora::bridgeidKey),
        .name = object.required<QString>(vantora::nameKey),
        .modelid = object.optional<QString>(vantora::modelidKey),
    };
}
