#pragma once

#include "ui/Environment.h"

namespace vantora::runtime {
class Clock;
class Executor;
} // namespace vantora::runtime

namespace vantora::ui {

// The clock and executor that views run their motion and tasks on. Null members mean the
// application's own (the real clock, the Qt main loop); tests set a virtual clock and a
// manual executor on their window's scope.
struct ViewRuntime final {
    runtime::Clock *clock = nullptr;
    runtime::Executor *executor = nullptr;

    runtime::Clock &resolvedClock() const;
    runtime::Executor &resolvedExecutor() const;

    // The runtime in effect for `widget`.
    static ViewRuntime of(const QWidget *widget);

    friend bool operator==(const ViewRuntime &, const ViewRuntime &) = default;
};

inline const EnvironmentKey<ViewRuntime> viewRuntimeKey{"viewRuntime", ViewRuntime{}};

} // namespace vantora::ui
