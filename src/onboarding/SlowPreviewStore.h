#pragma once

#include "onboarding/SlowPreviewService.h"
#include "runtime/Clock.h"
#include "runtime/Executor.h"
#include "store/HalvetStore.h"

#include <memory>

namespace vantora {

// A live store wired to one pretend bridge (SlowPreviewService) and a connection kept in
// memory, for the slow and arrival previews: the store, onboarding and panel behave as with
// a bridge, only the answers are invented and late. Every light service and pairing service
// the store asks for is that one pretend bridge, and a search for bridges finds it at once.
// Without a first connection the sample connection is already saved; with one, nothing is,
// and the store starts unpaired. Automatic reconnection is on. Main thread only.
std::unique_ptr<HalvetStore> makeSlowPreviewStore(SlowPreviewService::Scenario scenario,
                                                  runtime::Clock &clock = runtime::systemClock(),
                                                  runtime::Executor &executor = runtime::mainExecutor());

} // namespace vantora
