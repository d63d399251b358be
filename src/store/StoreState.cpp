#include "store/StoreState.h"

#include <algorithm>

namespace vantora {

StoreState::StoreState(Announce announce, std::function<void()> afterNoticeAssigned)
    : connection{std::nullopt, [announce] { announce(StoreProperty::connection); }}
    , snapshot{HueSnapshot{}, [announce] { announce(StoreProperty::snapshot); }}
    , isRefreshing{false, [announce] { announce(StoreProperty::isRefreshing); }}
    , isManagingConnection{false, [announce] { announce(StoreProperty::isManagingConnection); }}
    , isPairing{false, [announce] { announce(StoreProperty::isPairing); }}
    , isChangingPower{false, [announce] { announce(StoreProperty::isChangingPower); }}
    , updatingLightIDs{{}, [announce] { announce(StoreProperty::updatingLightIDs); }}
    , hasVerifiedConnection{false, [announce] { announce(StoreProperty::hasVerifiedConnection); }}
    , requiresAuthorization{false, [announce] { announce(StoreProperty::requiresAuthorization); }}
    , needsConnectionRecovery{false, [announce] { announce(StoreProperty::needsConnectionRecovery); }}
    , lastUpdated{std::nullopt, [announce] { announce(StoreProperty::lastUpdated); }}
    , pendingBridge{std::nullopt, [announce] { announce(StoreProperty::pendingBridge); }}
    , pendingAddress{std::nullopt, [announce] { announce(StoreProperty::pendingAddress); }}
    , errorMessage{std::nullopt, [announce] { announce(StoreProperty::errorMessage); }}
    , failedLightID{std::nullopt, [announce] { announce(StoreProperty::failedLightID); }}
    , failedLightChange{std::nullopt, [announce] { announce(StoreProperty::failedLightChange); }}
    , notice{std::nullopt, [announce] { announce(StoreProperty::notice); }, std::move(afterNoticeAssigned)}
    , failureKind{std::nullopt, [announce] { announce(StoreProperty::failureKind); }}
    , unexpectedIssue{std::nullopt, [announce] { announce(StoreProperty::unexpectedIssue); }}
{
}

bool StoreState::blocksRefresh() const
{
    return *isRefreshing || *isManagingConnection || *isChangingPower || !updatingLightIDs->isEmpty()
        || pendingBridge->has_value() || *requiresAuthorization;
}

bool StoreState::isWorking() const
{
    return *isRefreshing || *isManagingConnection || *isChangingPower || !updatingLightIDs->isEmpty();
}

bool StoreState::canForgetBridge() const
{
    return connection->has_value() && !*isManagingConnection && !*isChangingPower && updatingLightIDs->isEmpty();
}

bool StoreState::controlsLocked() const
{
    return *isManagingConnection || *isChangingPower;
}

void StoreState::supersedeRunningWork()
{
    generation = QUuid::createUuid();
    ++revision;
    refreshID.reset();
    isRefreshing.set(false);
}

void StoreState::patchLight(const QString &lightID, const LightChange &change)
{
    const std::vector<HueLight> &lights = snapshot->lights;
    const auto found = std::find_if(lights.begin(), lights.end(),
                                    [&lightID](const HueLight &light) { return light.id == lightID; });
    if (found != lights.end()) {
        const auto index = std::distance(lights.begin(), found);
        snapshot.mutate([&](HueSnapshot &patched) {
            HueLight &light = patched.lights[std::size_t(index)];
            light = change.applying(std::move(light));
        });
    }
    ++revision;
}

} // namespace vantora
