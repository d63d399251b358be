#include "app/AllLightsToggle.h"

#include "store/HalvetStore.h"

#include <algorithm>

namespace vantora {

runtime::Task<void> toggleAllLights(HalvetStore &store, std::function<void()> openPanel)
{
    if (store.isWorking() || store.isManagingConnection() || store.isChangingPower())
        co_return;
    if (!store.isConnected() || store.needsConnectionRecovery()) {
        openPanel();
        co_return;
    }

    co_await store.refresh();
    const auto &lights = store.snapshot().lights;
    const bool anyReachable = std::ranges::any_of(lights, &HueLight::isReachable);
    if (!store.hasVerifiedConnection() || store.errorMessage() || store.needsConnectionRecovery() || !anyReachable) {
        openPanel();
        co_return;
    }

    const bool anyReachableOn = std::ranges::any_of(lights, [](const HueLight &light) {
        return light.isReachable && light.isOn;
    });
    co_await store.setPower(std::nullopt, !anyReachableOn);
    if (store.errorMessage() || store.unexpectedIssue())
        openPanel();
}

} // namespace vantora
