#include "app/ProcessExitHook.h"

#include <QtGlobal>

#include <cstdlib>
#include <utility>

namespace vantora {

namespace {

std::function<void()> &pendingAction()
{
    static std::function<void()> action;
    return action;
}

void runPendingAction()
{
    // Taken out first, so an action that itself ends up in exit() does not run twice.
    const std::function<void()> action = std::exchange(pendingAction(), {});
    if (action)
        action();
}

} // namespace

ProcessExitHook::ProcessExitHook(std::function<void()> action)
{
    Q_ASSERT(!pendingAction());
    static const bool registered = std::atexit(runPendingAction) == 0;
    if (registered)
        pendingAction() = std::move(action);
}

ProcessExitHook::~ProcessExitHook()
{
    pendingAction() = {};
}

} // namespace vantora
