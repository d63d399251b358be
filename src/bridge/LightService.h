#pragma once

#include "bridge/HueLight.h"
#include "bridge/HueSnapshot.h"
#include "bridge/LightChange.h"
#include "runtime/Clock.h"
#include "runtime/Task.h"

#include <QString>

#include <vector>

namespace vantora {

// Reading and changing the lights of one paired bridge. Every operation may throw
// HueError, NetworkError, DecodingError or CancellationError; cancellation is always
// passed on as CancellationError.
class LightService {
public:
    // `clock` paces the one-by-one power changes.
    explicit LightService(runtime::Clock &clock = runtime::systemClock()) : m_clock(clock) {}
    virtual ~LightService() = default;
    LightService(const LightService &) = delete;
    LightService &operator=(const LightService &) = delete;

    virtual runtime::Task<HueSnapshot> snapshot() = 0;
    virtual runtime::Task<void> setLight(QString id, bool on) = 0;
    // Default: a change that only switches the light goes through setLight; anything else,
    // an empty change included, fails with HueError::api and sends nothing.
    virtual runtime::Task<void> updateLight(QString id, LightChange change);
    virtual runtime::Task<void> allOff(HueSnapshot snapshot) = 0;
    // Default: the snapshot's lights one by one (its grouped light is ignored).
    virtual runtime::Task<void> setPower(HueSnapshot snapshot, bool on);

    // Switches the reachable lights in order, one at a time, pausing 120 ms after each
    // attempt (measured from its end). Stops at once on cancellation, on
    // HueError::unauthorized and on HueError::bridgeIdentityChanged; counts every other
    // failure and, when any, ends with HueError::api "N lights couldn’t be switched on/off.
    // Try again.". Unreachable lights are neither sent nor counted.
    runtime::Task<void> setLightsPower(std::vector<HueLight> lights, bool on);

protected:
    runtime::Clock &clock() const noexcept { return m_clock; }

private:
    runtime::Clock &m_clock;
};

} // namespace vantora
