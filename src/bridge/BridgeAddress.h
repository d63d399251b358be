#pragma once

#include "runtime/Json.h"

#include <QHashFunctions>
#include <QJsonObject>
#include <QString>
#include <QUrl>

namespace vantora {

// Where the bridge is reached: an IPv4 or IPv6 literal, never a host name and never in
// brackets. Built from text only through validated(); decoding keeps a stored host as is.
struct BridgeAddress {
    QString host{};

    // Trims white space and newlines from both ends and accepts an IPv4 literal, else an
    // IPv6 literal; the host is the trimmed text itself. Anything else, the empty text
    // included, throws HueError::invalidAddress().
    static BridgeAddress validated(const QString &text);

    // https://<host><path>, an IPv6 host in brackets, no port. `path` must begin with "/";
    // any other path throws HueError::invalidResponse().
    QUrl url(const QString &path) const;

    bool operator==(const BridgeAddress &) const = default;
};

inline size_t qHash(const BridgeAddress &address, size_t seed = 0) noexcept
{
    return qHash(address.host, seed);
}

QJsonObject toJson(const BridgeAddress &address);

} // namespace vantora

template <>
vantora::BridgeAddress vantora::runtime::json::decode<vantora::BridgeAddress>(const QJsonValue &value,
                                                                            const QString &path);
