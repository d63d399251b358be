#pragma once

#include "ReplyScript.h"
#include "bridge/ServiceFactories.h"

#include <memory>
#include <vector>

namespace vantora::testing {

// A pairing service whose answers the test scripts, recording every request with the
// (virtual) time it was made.
class ScriptedPairingService final : public BridgePairingService,
                                     public std::enable_shared_from_this<ScriptedPairingService> {
public:
    struct Request {
        enum class Kind { bridgeInfo, pair };
        Kind kind;
        runtime::SteadyTime at;
    };

    // The address and expected bridge id a service was made for.
    struct Target {
        BridgeAddress address;
        std::optional<QString> expectedBridgeID;
    };

    explicit ScriptedPairingService(runtime::Clock &clock) : m_clock(clock) {}

    runtime::Task<BridgeInfo> bridgeInfo() override;
    runtime::Task<QString> pair() override;

    // Hands out this very service for every address, recording each in `targets`; throws
    // `factoryFailure` instead while it is set.
    PairingServiceFactory factory();

    std::vector<runtime::SteadyTime> timesOf(Request::Kind kind) const;

    ReplyScript<BridgeInfo> identities;
    ReplyScript<QString> applicationKeys;

    std::vector<Request> requests;
    std::vector<Target> targets;
    std::exception_ptr factoryFailure;

private:
    runtime::Clock &m_clock;
};

} // namespace vantora::testing
