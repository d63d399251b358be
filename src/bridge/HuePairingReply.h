#pragma once

#include <QString>

#include <vector>

namespace vantora {

// What the bridge answers to a pairing request: an array whose elements each may carry a
// success with the new application key ("username") and an error. Decoding refuses
// anything but an array of objects whose "success" (when present) has a "username" text
// and whose "error" (when present) has an integer "type" and a "description" text.
struct HuePairingReply {
    struct Failure {
        qint64 type = 0;
        QString description{};
    };

    // Both in the bridge's order.
    std::vector<Failure> failures{};
    std::vector<QString> usernames{};

    // The first error decides: type 101 (the link button was not pressed) throws
    // HueError::linkButtonNotPressed, any other HueError::api with its description.
    // Without errors, the first username is the key; none, an empty one, or one holding
    // anything but visible ASCII characters throws HueError::invalidResponse.
    QString applicationKey() const;
};

} // namespace vantora
