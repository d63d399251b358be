#pragma once

#include "bridge/LightChange.h"

#include <QByteArray>

namespace vantora::HueRequestBody {

// The bodies the client sends, as compact JSON.

// {"devicetype":"halvet#linux"}: asks the bridge for a new application key.
QByteArray pairing();

// {"on":{"on":<on>}}: switches a light or a grouped light.
QByteArray power(bool on);

// The parts the change holds and nothing else: "on", "dimming" with "brightness",
// "color" with "xy", "color_temperature" with "mirek". An empty change gives {}.
QByteArray lightUpdate(const LightChange &change);

} // namespace vantora::HueRequestBody
