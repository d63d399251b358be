#pragma once

#include "bridge/BridgeAddress.h"
#include "runtime/Json.h"

#include <QJsonObject>
#include <QString>

namespace vantora {

// The one saved connection: where the paired bridge was last reached, who it is, and the
// application key it gave us. Its JSON form is what the keyring item holds.
struct BridgeConnection {
    BridgeAddress address{};
    QString bridgeID{};
    QString name{};
    QString applicationKey{};

    bool operator==(const BridgeConnection &) const = default;
};

QJsonObject toJson(const BridgeConnection &connection);

} // namespace vantora

// Every key is required; the host is taken as stored, without validation.
template <>
vantora::BridgeConnection vantora::runtime::json::decode<vantora::BridgeConnection>(const QJsonValue &value,
                                                                                  const QString &path);
