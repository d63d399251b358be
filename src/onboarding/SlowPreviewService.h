#pragma once

#include "bridge/BridgeConnection.h"
#include "bridge/BridgePairingService.h"
#include "bridge/DiscoveredBridge.h"
#include "bridge/HueSnapshot.h"
#include "bridge/LightService.h"

namespace vantora {

// A pretend bridge that answers like a slow real one, so the real store, onboarding and
// panel can be shown without a bridge. Every operation waits first (a cancellable sleep on
// the clock) and only then acts; a cancelled operation changes nothing, not even the
// scenario's flags. Light changes edit the pretend bridge's lights, so later loads return
// them as a bridge would. Ids it does not know are ignored, without an error.
//
// Waits: a snapshot 0.35 s (2.8 s on a first connection), a light change 0.18 s, switching
// a light or all lights 1.0 s, the bridge's identity 0.35 s, pairing 1.0 s. Operations
// overlap in their waits; they run on the main thread, so their effects never interleave.
class SlowPreviewService final : public LightService, public BridgePairingService {
public:
    // What goes wrong, and how slowly the first load arrives.
    struct Scenario {
        // The first snapshot load that the key does not refuse fails once with
        // HueError::invalidResponse.
        bool initialError = false;
        // Snapshot loads fail with HueError::unauthorized until pairing has succeeded.
        bool expiredKey = false;
        // The first snapshot load that ends its wait takes 2.8 s.
        bool firstConnection = false;
    };

    static constexpr int sampleLightCount = 15;

    SlowPreviewService(Scenario scenario, runtime::Clock &clock,
                       HueSnapshot lights = HueSnapshot::sample(sampleLightCount));

    // The saved connection to the pretend bridge, with an application key it accepts
    // unless the scenario's key has expired.
    static BridgeConnection sampleConnection();
    // The pretend bridge as a search of the network finds it.
    static DiscoveredBridge sampleDiscoveredBridge();

    runtime::Task<HueSnapshot> snapshot() override;
    runtime::Task<void> setLight(QString id, bool on) override;
    // Takes the change as it is, without validating or clamping it.
    runtime::Task<void> updateLight(QString id, LightChange change) override;
    // Every reachable light of the pretend bridge; `snapshot` is not looked at.
    runtime::Task<void> allOff(HueSnapshot snapshot) override;
    // The pretend bridge's lights whose ids are those of the reachable lights of `snapshot`.
    runtime::Task<void> setPower(HueSnapshot snapshot, bool on) override;

    runtime::Task<BridgeInfo> bridgeInfo() override;
    // Always succeeds, and cures an expired key.
    runtime::Task<QString> pair() override;

private:
    HueLight *lightWithID(const QString &id);

    Scenario m_scenario;
    HueSnapshot m_lights;
};

} // namespace vantora
