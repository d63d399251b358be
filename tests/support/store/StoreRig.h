#pragma once

#include "MemoryConnectionStorage.h"
#include "ReplyScript.h"
#include "ScriptedLightService.h"
#include "ScriptedPairingService.h"
#include "TaskTesting.h"
#include "store/HalvetStore.h"

#include <memory>
#include <vector>

namespace vantora::testing {

// A store on the virtual clock with scripted services and storage. Script the services
// and prepare the storage, then build() the store; actions started with start() run until
// they wait for a gate or for virtual time.
class StoreRig final {
    // Declared first: `storage` refers to it until the store takes it over.
    std::unique_ptr<MemoryConnectionStorage> m_storage = std::make_unique<MemoryConnectionStorage>();

public:
    struct Options {
        StoreMode mode = StoreMode::live;
        HueSnapshot demoSnapshot{};
        AutomaticReconnection automaticallyReconnect = AutomaticReconnection::on;
        SavedConnectionRead read = SavedConnectionRead::atConstruction;
    };

    StoreRig();
    ~StoreRig();

    HalvetStore &build(Options options);
    HalvetStore &build() { return build(Options{}); }
    // A live store with the sample connection saved, that has read `home` from the bridge.
    HalvetStore &buildConnected(HueSnapshot home);

    runtime::TaskHandle<void> start(runtime::Task<void> action) { return harness.start(std::move(action)); }

    TaskHarness harness;
    std::shared_ptr<ScriptedLightService> lights;
    std::shared_ptr<ScriptedPairingService> pairing;
    ReplyScript<std::vector<DiscoveredBridge>> discovery;
    // Owned by the store once it is built; stays reachable here.
    MemoryConnectionStorage &storage;
    std::unique_ptr<HalvetStore> store;
};

// The light of `snapshot` with `id`, which must be there.
const HueLight &lightWithID(const HueSnapshot &snapshot, const QString &id);

// A saved connection to the bridge "001788fffe123456" at 192.168.1.20.
BridgeConnection sampleConnection();
// What that bridge says about itself; `bridgeid` as the bridge writes it, in upper case.
BridgeInfo sampleBridgeInfo();

} // namespace vantora::testing
