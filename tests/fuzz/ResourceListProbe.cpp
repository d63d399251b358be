#include "ResourceListProbe.h"

#include "bridge/HueError.h"
#include "bridge/HueReplyDecoder.h"
#include "bridge/HueSnapshot.h"
#include "bridge/LightChange.h"

namespace vantora::testing {

namespace {

// Asks the light for its own values again, as the controls do; a bridge may report values
// no change could ask for, and refusing those with the change's own error is fine.
void changeToOwnValues(const HueLight &light)
{
    try {
        if (light.color)
            LightChange{.color = light.color}.validated(light);
        if (light.temperature)
            LightChange{.temperature = light.temperature}.validated(light);
        if (light.brightness)
            LightChange{.brightness = light.brightness}.validated(light).applying(light);
    } catch (const HueError &error) {
        if (error.kind() != HueError::Kind::api)
            throw;
    }
}

} // namespace

void probeResourceListReply(const QByteArray &reply)
{
    // Decoded as the client decodes a snapshot reply; the bridge's own errors in it are not
    // part of reading it.
    const auto decoded = HueReplyDecoder().resourceList(reply, IgnoredResources::skipped);
    const HueSnapshot snapshot = HueSnapshot::fromResources(decoded.data);
    for (const LightRoom &room : snapshot.hidingUnavailable(true).rooms()) {
        room.averageBrightness();
        room.minimumBrightness();
    }
    for (const HueLight &light : snapshot.lights) {
        light.displayColour();
        if (light.color)
            LightColour::hueSaturation(*light.color);
        changeToOwnValues(light);
    }
}

} // namespace vantora::testing
