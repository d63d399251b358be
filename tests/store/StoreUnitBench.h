#pragma once

// The units behind the store wired as the store wires them, without the store, so that a
// test can set state no public action reaches directly (a local change's revision, a
// pending bridge beside a saved connection).

#include "MemoryConnectionStorage.h"
#include "ReplyScript.h"
#include "ScriptedLightService.h"
#include "ScriptedPairingService.h"
#include "TaskTesting.h"
#include "store/BridgePairing.h"
#include "store/BridgeReconnection.h"
#include "store/FailureRecorder.h"
#include "store/LightWorkers.h"
#include "store/LightsRefresh.h"
#include "store/PowerSwitching.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

namespace vantora::testing {

struct StoreUnitBench final {
    StoreUnitBench()
    {
        auto ownedStorage = std::make_unique<MemoryConnectionStorage>();
        storage = ownedStorage.get();
        services.storage = std::move(ownedStorage);
        services.serviceFactory = lights->factory();
        services.pairingServiceFactory = pairing->factory();
        services.discover = [this] { return discovery.reply(); };
    }

    template <typename T>
    runtime::TaskHandle<T> start(runtime::Task<T> task)
    {
        auto handle = tasks.spawn(std::move(task));
        harness.executor.runUntilIdle();
        return handle;
    }

    TaskHarness harness;
    std::shared_ptr<ScriptedLightService> lights = std::make_shared<ScriptedLightService>(harness.clock);
    std::shared_ptr<ScriptedPairingService> pairing = std::make_shared<ScriptedPairingService>(harness.clock);
    ReplyScript<std::vector<DiscoveredBridge>> discovery;
    MemoryConnectionStorage *storage = nullptr;
    StoreServices services;
    StoreState state{[](StoreProperty) {}, [] {}};
    FailureRecorder failures{state, harness.clock};
    BridgeReconnection reconnection{state, services, failures, harness.clock};
    // Spawns its reconnections in `tasks`, which is declared after it and so goes first.
    LightsRefresh refresh{state, services, failures, reconnection, harness.clock, tasks};
    BridgePairing pairingFlow{state, services, failures, harness.clock};
    // Spawns its workers in `tasks`, which is declared after it and so goes first.
    LightWorkers workers{state, services, failures, harness.clock, tasks};
    PowerSwitching power{state, services, failures, workers, harness.clock};
    runtime::TaskScope tasks{harness.executor};
};

} // namespace vantora::testing
