#include "store/LinkButtonPairing.h"

#include "bridge/HueError.h"

namespace vantora {

runtime::Task<QString> LinkButtonPairing::requestApplicationKey(std::shared_ptr<BridgePairingService> service,
                                                                runtime::Clock &clock)
{
    for (int attempt = 1;; ++attempt) {
        co_await runtime::checkCancellation();
        std::optional<QString> key;
        try {
            key = co_await service->pair();
        } catch (const HueError &error) {
            if (error.kind() != HueError::Kind::linkButtonNotPressed)
                throw;
        }
        if (key)
            co_return *key;
        co_await clock.sleepFor(retryInterval);
        if (attempt == maximumAttempts)
            throw HueError::linkButtonNotPressed();
    }
}

} // namespace vantora
