#include "bridge/BridgeInfo.h"

namespace vantora {

namespace {

const QString bridgeidKey = QStringLiteral("bridgeid");
const QString nameKey = QStringLiteral("name");
const QString modelidKey = QStringLiteral("modelid");

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
        .bridgeid = object.required<QString>(vantora::bridgeidKey),
        .name = object.required<QString>(vantora::nameKey),
        .modelid = object.optional<QString>(vantora::modelidKey),
    };
}
