#pragma once

#include "platform/avahi/ServiceIdentity.h"
#include "platform/avahi/TxtRecord.h"

#include <QHostAddress>
#include <QString>

namespace vantora::platform {

// Where a found service can be reached: what one resolution of it answered.
struct ServiceResolution {
    ServiceIdentity service;
    // The target host as announced ("hue-bridge.local"); untrusted text.
    QString hostName;
    // Always an IPv4 address: resolution never asks for another kind.
    QHostAddress ipv4Address;
    quint16 port = 0;
    TxtRecord txt;

    bool operator==(const ServiceResolution &) const = default;
};

} // namespace vantora::platform
