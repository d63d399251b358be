#pragma once

#include "bridge/HueLight.h"
#include "bridge/LightChange.h"

#include <QString>

#include <optional>

namespace vantora {

// What the light page shows of the store for its light, read afresh whenever the store
// changes. The page never changes these itself.
struct LightDetailInputs final {
    // The light as last published.
    HueLight light{};
    // A change of this light is on its way to the bridge.
    bool isUpdating = false;
    // The store is managing the connection or switching several lights: no edit is taken.
    bool controlsLocked = false;
    // The store's failure text, when it belongs to this light or to no light.
    std::optional<QString> errorMessage{};
    // The change of this light that failed, when this light failed.
    std::optional<LightChange> failedChange{};

    friend bool operator==(const LightDetailInputs &, const LightDetailInputs &) = default;
};

} // namespace vantora
