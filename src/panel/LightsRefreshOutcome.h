#pragma once

#include "runtime/Task.h"

namespace vantora {

class HalvetStore;

// A refresh the person asked for ("Refresh lights" in a menu, Ctrl+R, a retry): the lights
// read again, and what came of it told once, since nothing at the focus shows it: "Lights
// refreshed.", or the failure's words. A failure that another part says as it comes (the page
// of a home without lights, the unexpected error's banner, the welcome window of a lost
// connection) is left to it. Nothing is told of a refresh that did not run, the store being
// busy, or that was cancelled.
runtime::Task<void> refreshLightsAndTell(HalvetStore &store);

} // namespace vantora
