#include "ResourceListProbe.h"

#include "bridge/HueError.h"
#include "bridge/HueSnapshot.h"
#include "bridge/HueReplyDecoder.h"
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
    const HueSnapshot snapshot = HueSnapshot::fromResources(HueReplyDecoder().resources(reply, IgnoredResources::skipped));
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
