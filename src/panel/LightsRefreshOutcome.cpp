#include "panel/LightsRefreshOutcome.h"

#include "store/HalvetStore.h"
#include "ui/Accessibility.h"

#include <QCoreApplication>

namespace vantora {

runtime::Task<void> refreshLightsAndTell(HalvetStore &store)
{
    if (store.isWorking() || !store.isConnected())
        co_return;
    co_await store.refresh();
    const bool cancelled = co_await runtime::isCancelled();
    if (cancelled)
        co_return;
    const std::optional<QString> &failure = store.errorMessage();
    if (!failure) {
        ui::a11y::tellOutcome(QCoreApplication::translate("vantora::LightsRefreshOutcome", "Lights refreshed."));
        co_return;
    }
    const bool toldElsewhere =
        store.unexpectedIssue() || store.needsConnectionRecovery() || store.snapshot().lights.empty();
    if (!toldElsewhere)
        ui::a11y::tellOutcome(*failure);
}

} // namespace vantora
