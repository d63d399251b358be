#pragma once

#include "runtime/Task.h"

#include <functional>

namespace vantora {

class HalvetStore;

// What the all-lights shortcut does: nothing while the store is busy; otherwise it reads
// the lights afresh and switches all of them off when any reachable light is on, else on.
// Whenever it cannot act (no usable connection, a failure showing, no reachable light) or
// its change failed, it opens the panel instead, where the reason shows; it never closes
// the panel. A change made is told to a reader: all lights on, or off. Lights that cannot be
// reached do not count, whatever their state.
runtime::Task<void> toggleAllLights(HalvetStore &store, std::function<void()> openPanel);

} // namespace vantora
