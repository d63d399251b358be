#pragma once

#include "app/LaunchPlan.h"

#include <memory>

namespace vantora {

class HalvetStore;

// The one store of a run, as its plan says: the saved connection in the keyring and real
// bridges; sample lights; or the slow pretend bridge. Reads the keyring (live runs only)
// before it returns.
std::unique_ptr<HalvetStore> makeAppStore(const LaunchPlan &plan);

} // namespace vantora
