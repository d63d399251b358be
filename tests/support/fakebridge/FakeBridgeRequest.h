#pragma once

#include "FakeBridgeRoute.h"

#include "platform/https/HttpHeader.h"

#include <QByteArray>

#include <chrono>

namespace vantora::testing {

// One request as the fake bridge received it.
struct FakeBridgeRequest {
    QByteArray method;
    // The request target as sent, query included.
    QByteArray path;
    platform::HttpHeaders headers;
    QByteArray body;
    FakeBridgeRoute route = FakeBridgeRoute::other;
    std::chrono::steady_clock::time_point receivedAt;
};

} // namespace vantora::testing
