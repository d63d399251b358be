#pragma once

#include "runtime/Clock.h"
#include "runtime/Executor.h"
#include "store/StoreServices.h"

namespace vantora {

// Where the application's searches for bridges look, as its launch options decide.
enum class SearchSource {
    // The local network, through the Avahi daemon.
    localNetwork,
    // The pretend bridge of the slow and arrival previews; no network is used.
    previewSample,
};

// The search the application gives its onboarding (and its store, for reconnecting). Every
// call starts afresh and holds nothing once it has returned. A local-network search makes
// a new BridgeDiscovery over a new Avahi browser and returns what its findBridges()
// returns, or throws what it throws; cancelling the awaiting task stops it. A preview
// search returns the one sample bridge at once, without suspending.
BridgeSearch applicationBridgeSearch(SearchSource source, runtime::Clock &clock = runtime::systemClock(),
                                     runtime::Executor &executor = runtime::mainExecutor());

} // namespace vantora
