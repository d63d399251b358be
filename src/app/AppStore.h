#pragma once

#include "app/LaunchPlan.h"

#include <memory>

namespace vantora {

class HalvetStore;

// The one store of a run, as its plan says: the saved connection in the keyring and real
// bridges; sample lights; or the slow pretend bridge. A live store reads the keyring at its
// first readSavedConnectionAgain(), not before.
std::unique_ptr<HalvetStore> makeAppStore(const LaunchPlan &plan);

} // namespace vantora
