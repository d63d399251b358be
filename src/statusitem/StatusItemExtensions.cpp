#include "statusitem/StatusItemExtensions.h"

#include "runtime/Executor.h"
#include "statusitem/StatusItemUtils.h"

#include <limits>

namespace vantora::statusitem {

namespace StatusItemExtensions {

namespace selector = StatusItemUtils::selector;

bool usesExpandedInterface(StatusItem &item)
{
    return item.respondsTo(selector::beginExpandedInterfaceSession)
        && item.respondsTo(selector::expandedInterfaceDelegate)
        && item.perform(selector::expandedInterfaceDelegate) != nullptr;
}

ObjectPtr currentExpandedInterfaceSession(StatusItem &item)
{
    if (!item.respondsTo(selector::expandedInterfaceSession))
        return nullptr;
    return item.perform(selector::expandedInterfaceSession);
}

void beginExpandedInterfaceSession(StatusItem &item)
{
    if (item.respondsTo(selector::beginExpandedInterfaceSession))
        item.performDouble(selector::beginExpandedInterfaceSession, std::numeric_limits<double>::max());
}

void cancelExpandedInterfaceSession(StatusItem &item)
{
    const ObjectPtr session = currentExpandedInterfaceSession(item);
    if (session && session->respondsTo(selector::cancel))
        session->perform(selector::cancel);
}

void togglePresented(StatusItem &item)
{
    if (usesExpandedInterface(item)) {
        if (currentExpandedInterfaceSession(item))
            cancelExpandedInterfaceSession(item);
        else if (!currentExpandedInterfaceSession(item))
            beginExpandedInterfaceSession(item);
        return;
    }
    if (const auto button = item.button())
        button->performClick();
    updateHighlight(item);
}

void updateHighlight(StatusItem &item)
{
    if (usesExpandedInterface(item))
        return;
    if (const auto &button = item.button())
        button->setHighlighted(button->state() != ButtonState::off);
}

void stashExpandedInterfaceDelegate(StatusItem &item)
{
    if (!item.respondsTo(selector::setExpandedInterfaceDelegate) || !item.respondsTo(selector::expandedInterfaceDelegate))
        return;
    const ObjectPtr delegate = item.perform(selector::expandedInterfaceDelegate);
    if (!delegate)
        return;
    item.setAssociatedObject(StatusItemUtils::expandedInterfaceDelegateKey(), std::make_shared<WeakRef>(delegate));
    item.perform(selector::setExpandedInterfaceDelegate, nullptr);
}

void restoreExpandedInterfaceDelegate(StatusItem &item)
{
    if (!item.respondsTo(selector::setExpandedInterfaceDelegate))
        return;
    const auto stash =
        std::dynamic_pointer_cast<WeakRef>(item.associatedObject(StatusItemUtils::expandedInterfaceDelegateKey()));
    if (!stash)
        return;
    item.setAssociatedObject(StatusItemUtils::expandedInterfaceDelegateKey(), nullptr);
    if (item.respondsTo(selector::expandedInterfaceDelegate) && item.perform(selector::expandedInterfaceDelegate))
        return;
    if (const ObjectPtr delegate = stash->object.lock())
        item.perform(selector::setExpandedInterfaceDelegate, delegate);
}

} // namespace StatusItemExtensions

ButtonStateObserver::ButtonStateObserver(const std::shared_ptr<StatusBarButton> &objectToObserve,
                                         ChangeHandler changeHandler, runtime::Executor &executor)
    : m_objectToObserve(objectToObserve)
    , m_changeHandler(std::move(changeHandler))
    , m_executor(executor)
{
    m_observation = objectToObserve->observeState([this](ButtonState state) { deliver(state); });
    deliver(objectToObserve->state());
}

void ButtonStateObserver::deliver(ButtonState state)
{
    m_executor.post([alive = std::weak_ptr(m_alive), this, state] {
        if (!alive.expired())
            m_changeHandler(state);
    });
}

} // namespace vantora::statusitem
