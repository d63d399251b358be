#pragma once

#include <QString>

namespace vantora::platform {

// One announcement of a service as the browser saw it. The same service announced on two
// interfaces, or over IPv4 and IPv6, is seen as two identities; all five fields together
// tell them apart. Name, type and domain are untrusted text from the network, kept exactly
// as announced (a name may hold dots, markup or anything else).
struct ServiceIdentity {
    // The transport the announcement arrived over; says nothing about the service's address.
    enum class Protocol { IPv4, IPv6 };

    int interfaceIndex = 0;
    Protocol protocol = Protocol::IPv4;
    QString name;
    QString type;
    QString domain;

    bool operator==(const ServiceIdentity &) const = default;
};

} // namespace vantora::platform
