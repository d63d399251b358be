#include "app/AllLightsToggle.h"

#include "store/HalvetStore.h"
#include "ui/Accessibility.h"

#include <QCoreApplication>

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
    const bool on = !anyReachableOn;
    co_await store.setPower(std::nullopt, on);
    if (store.errorMessage() || store.unexpectedIssue()) {
        openPanel();
        co_return;
    }
    // The key is pressed away from the panel, often with it hidden: nothing at the focus shows
    // the change.
    ui::a11y::tellOutcome(on ? QCoreApplication::translate("vantora::AllLightsToggle", "All lights on.")
                             : QCoreApplication::translate("vantora::AllLightsToggle", "All lights off."));
}

} // namespace vantora
