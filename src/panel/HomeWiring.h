#pragma once

#include "bridge/HueSnapshot.h"
#include "bridge/LightChange.h"
#include "store/AppIssue.h"

#include <QSet>
#include <QString>

#include <optional>

namespace vantora {

class HalvetStore;

// What the lights page and a light's page read of the store, taken in one go.
struct StoreReading final {
    HueSnapshot snapshot{};
    bool isRefreshing = false;
    bool isManagingConnection = false;
    bool isChangingPower = false;
    QSet<QString> updatingLightIDs{};
    bool hasVerifiedConnection = false;
    std::optional<QString> errorMessage{};
    std::optional<QString> failedLightID{};
    std::optional<LightChange> failedLightChange{};
    std::optional<QString> notice{};
    std::optional<AppIssue> unexpectedIssue{};
    bool isDemo = false;

    static StoreReading of(const HalvetStore &store);
};

// How the store's state becomes what the two light pages show.
namespace homeWiring {

// Work the list shows as busy: connection work, a power change, a light change in flight,
// or a refresh before the connection was ever verified (later refreshes do not count).
bool isWorking(const StoreReading &store);
// Connection work and power changes lock the controls; refreshes and light changes do not.
bool controlsLocked(const StoreReading &store);
// No light of the whole snapshot (hidden ones too) is both reachable and on; an
// unreachable light that reports on never counts.
bool allLightsAreOff(const HueSnapshot &snapshot);
// The list shows either the unexpected issue or the error text, never both.
std::optional<QString> listErrorMessage(const StoreReading &store);

// What a light's page shows of the last failure: a failure of no light shows on every
// page, a failure of this light with its change, another light's failure not at all.
struct LightFailure final {
    std::optional<QString> errorMessage{};
    std::optional<LightChange> failedChange{};

    friend bool operator==(const LightFailure &, const LightFailure &) = default;
};
LightFailure lightFailure(const StoreReading &store, const QString &lightID);

// The light with `id` in `snapshot`, first match in snapshot order.
const HueLight *findLight(const HueSnapshot &snapshot, const std::optional<QString> &id);

} // namespace homeWiring

} // namespace vantora
