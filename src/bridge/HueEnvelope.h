#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QString>

#include <vector>

namespace vantora {

// The wrapper of every CLIP v2 reply: the errors the bridge reports and the data.
struct HueEnvelope {
    // In the bridge's order; the texts come from the bridge.
    std::vector<QString> errorDescriptions{};
    // Undecoded: its elements' shape depends on the request.
    QJsonArray data{};

    // Throws DecodingError unless `body` is an object with an "errors" array of objects
    // that each have a "description" text, and a "data" array. An empty body is no
    // envelope either.
    static HueEnvelope decode(const QByteArray &body);

    // The path of the data in decoding errors.
    static QString dataPath();

    // Throws HueError::api with the error descriptions joined by "; " when there is any.
    void throwIfFailed() const;
};

} // namespace vantora
