#include "ui/ViewRuntime.h"

#include "runtime/Clock.h"
#include "runtime/Executor.h"

namespace vantora::ui {

runtime::Clock &ViewRuntime::resolvedClock() const
{
    return clock ? *clock : runtime::systemClock();
}

runtime::Executor &ViewRuntime::resolvedExecutor() const
{
    return executor ? *executor : runtime::mainExecutor();
}

ViewRuntime ViewRuntime::of(const QWidget *widget)
{
    return Environment::of(widget).value(viewRuntimeKey);
}

} // namespace vantora::ui
