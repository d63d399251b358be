#pragma once

#include "platform/https/HttpHeader.h"

#include <QByteArray>

#include <chrono>

namespace vantora::testing {

// What the fake bridge answers to one request. Every answer closes its connection.
struct FakeBridgeReply {
    enum class Delivery {
        // Status line, headers and the whole body.
        whole,
        // Status line and headers announcing the whole body, half of it, then the
        // connection closes.
        closeMidBody,
        // Nothing at all; the connection stays open until the bridge is destroyed.
        silence,
        // Status line and headers announcing the whole body, then the body one byte each
        // `delay` (real time; integration tests only).
        trickle,
    };

    int status = 200;
    // Sent after the status line; Content-Length and Connection are added.
    platform::HttpHeaders headers;
    QByteArray body;
    // How long the bridge waits before it answers, or between the bytes of a trickle (real
    // time; integration tests only).
    std::chrono::milliseconds delay{0};
    Delivery delivery = Delivery::whole;

    static FakeBridgeReply json(int status, QByteArray body)
    {
        return {status, {{"Content-Type", "application/json"}}, std::move(body)};
    }

    static FakeBridgeReply redirect(QByteArray location)
    {
        return {302, {{"Location", std::move(location)}}, {}};
    }

    static FakeBridgeReply silence()
    {
        FakeBridgeReply reply;
        reply.delivery = Delivery::silence;
        return reply;
    }
};

} // namespace vantora::testing
