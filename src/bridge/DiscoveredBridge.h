#pragma once

#include <QString>

namespace vantora {

// A bridge found on the local network. Lists identify it by `id` alone; equality compares
// all three fields.
struct DiscoveredBridge {
    // Exactly 16 hexadecimal digits, lower case.
    QString id{};
    // The announced service name: any text from the network, shown only as plain text.
    QString name{};
    // Numeric dotted IPv4 text, such as "192.168.1.20".
    QString address{};

    bool operator==(const DiscoveredBridge &) const = default;
};

} // namespace vantora
