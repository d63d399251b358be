#include "ScriptedPairingService.h"

namespace vantora::testing {

runtime::Task<BridgeInfo> ScriptedPairingService::bridgeInfo()
{
    requests.push_back({Request::Kind::bridgeInfo, m_clock.steadyNow()});
    return identities.reply();
}

runtime::Task<QString> ScriptedPairingService::pair()
{
    requests.push_back({Request::Kind::pair, m_clock.steadyNow()});
    return applicationKeys.reply();
}

PairingServiceFactory ScriptedPairingService::factory()
{
    return [self = shared_from_this()](const BridgeAddress &address, const std::optional<QString> &expectedBridgeID)
               -> std::shared_ptr<BridgePairingService> {
        if (self->factoryFailure)
            std::rethrow_exception(self->factoryFailure);
        self->targets.push_back({address, expectedBridgeID});
        return self;
    };
}

std::vector<runtime::SteadyTime> ScriptedPairingService::timesOf(Request::Kind kind) const
{
    std::vector<runtime::SteadyTime> times;
    for (const Request &request : requests) {
        if (request.kind == kind)
            times.push_back(request.at);
    }
    return times;
}

} // namespace vantora::testing
