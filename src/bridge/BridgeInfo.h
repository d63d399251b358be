#pragma once

#include "runtime/Json.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace vantora {

// The bridge's description of itself, as far as "/api/config" is read. Decoding accepts
// any bridgeid; whether it is a real bridge id is the client's check.
struct BridgeInfo {
    QString bridgeid{};
    QString name{};
    std::optional<QString> modelid{};

    bool operator==(const BridgeInfo &) const = default;
};

// "modelid" is written only when present.
QJsonObject toJson(const BridgeInfo &info);

} // namespace vantora

template <>
vantora::BridgeInfo vantora::runtime::json::decode<vantora::BridgeInfo>(const QJsonValue &value,
                                                                      const QString &path);
