#include "ScriptedLightService.h"

#include <algorithm>

namespace vantora::testing {

ScriptedLightService::ScriptedLightService(runtime::Clock &clock)
    : LightService(clock)
    , m_clock(clock)
{
    lightSwitches.alwaysReturn(Done{});
    lightUpdates.alwaysReturn(Done{});
    allOffRequests.alwaysReturn(Done{});
    powerRequests.alwaysReturn(Done{});
}

template <typename T>
runtime::Task<T> ScriptedLightService::answer(runtime::Task<T> reply)
{
    if (answerTime > runtime::Duration::zero())
        co_await m_clock.sleepFor(answerTime);
    T value = co_await std::move(reply);
    co_return value;
}

runtime::Task<void> ScriptedLightService::awaitDone(runtime::Task<Done> reply)
{
    co_await answer(std::move(reply));
}

runtime::Task<HueSnapshot> ScriptedLightService::snapshot()
{
    requests.push_back({Request::Kind::snapshot, {}, {}, {}, {}, m_clock.steadyNow()});
    return answer(snapshots.reply());
}

runtime::Task<void> ScriptedLightService::setLight(QString id, bool on)
{
    requests.push_back({Request::Kind::setLight, std::move(id), on, {}, {}, m_clock.steadyNow()});
    return awaitDone(lightSwitches.reply());
}

runtime::Task<void> ScriptedLightService::updateLight(QString id, LightChange change)
{
    requests.push_back({Request::Kind::updateLight, std::move(id), {}, std::move(change), {}, m_clock.steadyNow()});
    return awaitDone(lightUpdates.reply());
}

runtime::Task<void> ScriptedLightService::allOff(HueSnapshot snapshot)
{
    requests.push_back({Request::Kind::allOff, {}, {}, {}, std::move(snapshot), m_clock.steadyNow()});
    return awaitDone(allOffRequests.reply());
}

runtime::Task<void> ScriptedLightService::setPower(HueSnapshot snapshot, bool on)
{
    requests.push_back({Request::Kind::setPower, {}, on, {}, std::move(snapshot), m_clock.steadyNow()});
    return awaitDone(powerRequests.reply());
}

LightServiceFactory ScriptedLightService::factory()
{
    return [self = shared_from_this()](const BridgeConnection &connection) -> std::shared_ptr<LightService> {
        if (self->factoryFailure)
            std::rethrow_exception(self->factoryFailure);
        self->connectionsServed.push_back(connection);
        return self;
    };
}

int ScriptedLightService::count(Request::Kind kind) const
{
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [kind](const Request &request) { return request.kind == kind; }));
}

} // namespace vantora::testing
