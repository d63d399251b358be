#include "panel/HomeWiring.h"

#include "store/HalvetStore.h"

#include <algorithm>

namespace vantora {

StoreReading StoreReading::of(const HalvetStore &store)
{
    return {
        .snapshot = store.snapshot(),
        .isRefreshing = store.isRefreshing(),
        .isManagingConnection = store.isManagingConnection(),
        .isChangingPower = store.isChangingPower(),
        .updatingLightIDs = store.updatingLightIDs(),
        .hasVerifiedConnection = store.hasVerifiedConnection(),
        .errorMessage = store.errorMessage(),
        .failedLightID = store.failedLightID(),
        .failedLightChange = store.failedLightChange(),
        .notice = store.notice(),
        .unexpectedIssue = store.unexpectedIssue(),
        .isDemo = store.isDemo(),
    };
}

namespace homeWiring {

bool isWorking(const StoreReading &store)
{
    return store.isManagingConnection || store.isChangingPower || !store.updatingLightIDs.isEmpty()
        || (!store.hasVerifiedConnection && store.isRefreshing);
}

bool controlsLocked(const StoreReading &store)
{
    return store.isManagingConnection || store.isChangingPower;
}

bool allLightsAreOff(const HueSnapshot &snapshot)
{
    return std::none_of(snapshot.lights.begin(), snapshot.lights.end(),
                        [](const HueLight &light) { return light.isReachable && light.isOn; });
}

std::optional<QString> listErrorMessage(const StoreReading &store)
{
    if (store.unexpectedIssue)
        return std::nullopt;
    return store.errorMessage;
}

LightFailure lightFailure(const StoreReading &store, const QString &lightID)
{
    if (!store.failedLightID)
        return {store.errorMessage, std::nullopt};
    if (*store.failedLightID == lightID)
        return {store.errorMessage, store.failedLightChange};
    return {};
}

const HueLight *findLight(const HueSnapshot &snapshot, const std::optional<QString> &id)
{
    if (!id)
        return nullptr;
    const auto found = std::find_if(snapshot.lights.begin(), snapshot.lights.end(),
                                    [&](const HueLight &light) { return light.id == *id; });
    return found == snapshot.lights.end() ? nullptr : &*found;
}

} // namespace homeWiring

} // namespace vantora
