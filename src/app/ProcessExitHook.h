#pragma once

#include <functional>

namespace vantora {

// Runs an action when the process ends through exit() while the hook lives. Qt's X11 platform
// ends the process that way, without any quit signal, when the X server goes away, as it
// does at the end of many desktop sessions; the session must still end normally then. The
// objects on main's stack are alive while the action runs. One hook at a time.
class ProcessExitHook final {
public:
    explicit ProcessExitHook(std::function<void()> action);
    ~ProcessExitHook();

    ProcessExitHook(const ProcessExitHook &) = delete;
    ProcessExitHook &operator=(const ProcessExitHook &) = delete;
};

} // namespace vantora
