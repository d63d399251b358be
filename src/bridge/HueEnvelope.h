#pragma once

#include <QString>

#include <vector>

namespace vantora {

// Throws HueError::api with the error descriptions joined by "; " when there is any.
void throwIfBridgeFailed(const std::vector<QString> &errorDescriptions);

// The wrapper of every CLIP v2 reply: the errors the bridge reports and the data, decoded
// as the request expects it.
template <typename Data>
struct HueEnvelope {
    // In the bridge's order; the texts come from the bridge.
    std::vector<QString> errorDescriptions{};
    Data data{};

    void throwIfFailed() const { throwIfBridgeFailed(errorDescriptions); }
};

} // namespace vantora
