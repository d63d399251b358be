#pragma once

#include "platform/https/HttpRequest.h"
#include "platform/https/HttpResponse.h"
#include "runtime/Task.h"

namespace vantora {

// Sends one request to the bridge. The response comes back whatever its status; a
// transport throws only when no acceptable HTTP answer arrived: CancellationError,
// HueError::bridgeIdentityChanged, or the NetworkError of the failed exchange.
class HueTransport {
public:
    virtual ~HueTransport() = default;

    virtual runtime::Task<platform::HttpResponse> data(platform::HttpRequest request) = 0;
};

} // namespace vantora
