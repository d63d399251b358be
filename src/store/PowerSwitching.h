#pragma once

#include "bridge/BridgeConnection.h"
#include "runtime/Clock.h"
#include "runtime/Task.h"

#include <QSet>
#include <QString>

#include <optional>

namespace vantora {

class FailureRecorder;
class LightService;
class LightWorkers;
struct StoreServices;
struct StoreState;

// Switches the lights of one room, or every light, on or off in one operation: lets the
// single-light work settle, asks the bridge once (a grouped request where the bridge has
// one), shows the result and reads the lights back. While it runs the store counts as
// changing power, which keeps light changes, other power changes and connection work out.
class PowerSwitching final {
public:
    PowerSwitching(StoreState &state, StoreServices &services, FailureRecorder &failures, LightWorkers &workers,
                   runtime::Clock &clock);

    // The lights of the room `roomID`, or all lights without one, as the snapshot holds them
    // when the call starts. Returns at once, changing nothing, while connection work, another
    // power change or a recovery is pending, when none of those lights can be reached, and
    // without a connection. Otherwise drops the changes that still wait for the reachable
    // lights, waits for every running light worker, sends the request, marks the reachable
    // lights as switched and reloads the snapshot; lights that could not be reached are told
    // in the notice. Success clears the failure shown before the call, never one recorded
    // while it ran. A failed request or reload is recorded (as switching all lights on, off,
    // or a room) after one more reload through a fresh service, and sets no notice;
    // cancellation is never shown. A demonstration store switches the lights at once.
    runtime::Task<void> setPower(std::optional<QString> roomID, bool on);

    // The notice shown after switching lights of which some were out of reach.
    static QString unavailableLightsNotice();

private:
    runtime::Task<void> send(LightService &service, const std::optional<QString> &roomID, bool on);
    runtime::Task<void> reloadAfterFailure(BridgeConnection connection);
    void switchLights(const QSet<QString> &lightIDs, bool on);

    StoreState &m_state;
    StoreServices &m_services;
    FailureRecorder &m_failures;
    LightWorkers &m_workers;
    runtime::Clock &m_clock;
};

} // namespace vantora
