#pragma once

#include "statusitem/StatusItemObjects.h"

#include <functional>
#include <memory>
#include <optional>

namespace vantora::runtime {
class Executor;
}

namespace vantora::statusitem {

// Opening, closing and highlighting an extra through its tray item. An item presents its
// extra either through sessions (it has the session methods and a delegate) or by a click
// on its button; every operation decides afresh. Main thread only; nothing fails.
namespace StatusItemExtensions {

bool usesExpandedInterface(StatusItem &item);
ObjectPtr currentExpandedInterfaceSession(StatusItem &item);
void beginExpandedInterfaceSession(StatusItem &item);
void cancelExpandedInterfaceSession(StatusItem &item);
// Opens the extra when closed, closes it when open.
void togglePresented(StatusItem &item);
// In button mode: highlighted exactly while the button's state is not off.
void updateHighlight(StatusItem &item);
// Parks the item's delegate (so the item falls back to button mode) and puts it back.
void stashExpandedInterfaceDelegate(StatusItem &item);
void restoreExpandedInterfaceDelegate(StatusItem &item);

} // namespace StatusItemExtensions

// Watches a button's state: the current state at once, then every change, each delivered
// on a later turn of `executor`, never inside the change. Destroying the observer ends the
// watching; deliveries still queued then are dropped.
class ButtonStateObserver final {
public:
    using ChangeHandler = std::function<void(std::optional<ButtonState> newValue)>;

    ButtonStateObserver(const std::shared_ptr<StatusBarButton> &objectToObserve, ChangeHandler changeHandler,
                        runtime::Executor &executor);

    std::shared_ptr<StatusBarButton> objectToObserve() const { return m_objectToObserve.lock(); }

private:
    void deliver(ButtonState state);

    std::weak_ptr<StatusBarButton> m_objectToObserve;
    ChangeHandler m_changeHandler;
    runtime::Executor &m_executor;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
    std::shared_ptr<void> m_observation;
};

} // namespace vantora::statusitem
