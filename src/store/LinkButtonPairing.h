#pragma once

#include "bridge/BridgePairingService.h"
#include "runtime/Clock.h"
#include "runtime/Task.h"

#include <QString>

#include <chrono>
#include <memory>

namespace vantora {

struct LinkButtonPairing final {
    static constexpr int maximumAttempts = 30;
    static constexpr std::chrono::seconds retryInterval{1};

    // Asks the bridge for an application key until its link button has been pressed: one
    // request a second, at most 30, with a pause after every refusal (the last included)
    // before giving up with HueError::linkButtonNotPressed. Any other failure ends the loop
    // at once; cancellation is checked before every request.
    static runtime::Task<QString> requestApplicationKey(std::shared_ptr<BridgePairingService> service,
                                                        runtime::Clock &clock);
};

} // namespace vantora
