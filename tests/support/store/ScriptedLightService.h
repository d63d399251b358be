#pragma once

#include "ReplyScript.h"
#include "bridge/LightService.h"
#include "bridge/ServiceFactories.h"

#include <memory>
#include <variant>
#include <vector>

namespace vantora::testing {

// A light service whose every answer the test scripts, recording each request with the
// (virtual) time it was made. Switching, adjusting and power requests succeed unless
// scripted otherwise; snapshots must be scripted. With an answer time, every request waits
// that long on the clock before its scripted reply, as a slow bridge would.
class ScriptedLightService final : public LightService, public std::enable_shared_from_this<ScriptedLightService> {
public:
    using Done = std::monostate;

    struct Request {
        enum class Kind { snapshot, setLight, updateLight, allOff, setPower };
        Kind kind;
        QString lightID{};                     // setLight, updateLight
        std::optional<bool> on{};              // setLight, setPower
        std::optional<LightChange> change{};   // updateLight
        std::optional<HueSnapshot> lights{};   // allOff, setPower
        runtime::SteadyTime at{};
    };

    explicit ScriptedLightService(runtime::Clock &clock);

    runtime::Task<HueSnapshot> snapshot() override;
    runtime::Task<void> setLight(QString id, bool on) override;
    runtime::Task<void> updateLight(QString id, LightChange change) override;
    runtime::Task<void> allOff(HueSnapshot snapshot) override;
    runtime::Task<void> setPower(HueSnapshot snapshot, bool on) override;

    // Hands out this very service for every connection, recording each connection in
    // `connectionsServed`; throws `factoryFailure` instead while it is set.
    LightServiceFactory factory();

    int count(Request::Kind kind) const;

    ReplyScript<HueSnapshot> snapshots;
    ReplyScript<Done> lightSwitches;
    ReplyScript<Done> lightUpdates;
    ReplyScript<Done> allOffRequests;
    ReplyScript<Done> powerRequests;

    std::vector<Request> requests;
    std::vector<BridgeConnection> connectionsServed;
    std::exception_ptr factoryFailure;
    runtime::Duration answerTime{};

private:
    template <typename T>
    runtime::Task<T> answer(runtime::Task<T> reply);
    runtime::Task<void> awaitDone(runtime::Task<Done> reply);

    runtime::Clock &m_clock;
};

} // namespace vantora::testing
