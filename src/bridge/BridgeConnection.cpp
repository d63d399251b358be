#include "bridge/BridgeConnection.h"

namespace vantora {

namespace {

const QString addressKey = QStringLiteral("address");
const QString bridgeIDKey = QStringLiteral("bridgeID");
const QString nameKey = QStringLiteral("name");
const QString applicationKeyKey = QStringLiteral("applicationKey");

} // namespace

QJsonObject toJson(const BridgeConnection &connection)
{
    return QJsonObject{
        {addressKey, toJson(connection.address)},
        {bridgeIDKey, connection.bridgeID},
        {nameKey, connection.name},
        {applicationKeyKey, connection.applicationKey},
    };
}

} // namespace vantora

template <>
vantora::BridgeConnection vantora::runtime::json::decode<vantora::BridgeConnection>(const QJsonValue &value,
                                                                                  const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return vantora::BridgeConnection{
        .address = object.required<vantora::BridgeAddress>(vantora::addressKey),
        .bridgeID = object.required<QString>(vantora::bridgeIDKey),
        .name = object.required<QString>(vantora::nameKey),
        .applicationKey = object.required<QString>(vantora::applicationKeyKey),
    };
}
