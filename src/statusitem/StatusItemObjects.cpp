#include "statusitem/StatusItemObjects.h"

#include <algorithm>

namespace vantora::statusitem {

namespace {

// A token that runs `release` when the last copy goes.
std::shared_ptr<void> releasingToken(std::function<void()> release)
{
    return std::shared_ptr<void>(nullptr, [release = std::move(release)](void *) { release(); });
}

} // namespace

Value Mirror::descendant(const QString &path) const
{
    const auto found = descendants.find(path);
    return found == descendants.end() ? Value{} : found->second;
}

Object::~Object() = default;

Value Object::valueForKey(const QString &) const
{
    return {};
}

Mirror Object::mirror() const
{
    return {};
}

bool Object::respondsTo(const QString &) const
{
    return false;
}

ObjectPtr Object::perform(const QString &)
{
    return nullptr;
}

void Object::perform(const QString &, const ObjectPtr &) {}

void Object::performDouble(const QString &, double) {}

ObjectPtr Object::associatedObject(const void *key) const
{
    const auto found = m_associated.find(key);
    return found == m_associated.end() ? nullptr : found->second;
}

void Object::setAssociatedObject(const void *key, ObjectPtr object)
{
    if (object)
        m_associated[key] = std::move(object);
    else
        m_associated.erase(key);
}

void StatusBarButton::setState(ButtonState state)
{
    if (m_state == state)
        return;
    m_state = state;
    // Copied: an observer may add or drop observers.
    const auto observers = *m_observers;
    for (const auto &[id, observer] : observers)
        observer(state);
}

void StatusBarButton::performClick()
{
    if (m_enabled && m_clickAction)
        m_clickAction();
}

std::shared_ptr<void> StatusBarButton::observeState(StateObserver observer)
{
    const int id = ++m_lastObserverId;
    m_observers->emplace(id, std::move(observer));
    return releasingToken([observers = std::weak_ptr(m_observers), id] {
        if (const auto alive = observers.lock())
            alive->erase(id);
    });
}

std::vector<std::shared_ptr<Window>> PlatformApplication::windows() const
{
    std::vector<std::shared_ptr<Window>> alive;
    for (const auto &window : m_windows) {
        if (auto strong = window.lock())
            alive.push_back(std::move(strong));
    }
    return alive;
}

void PlatformApplication::addWindow(const std::shared_ptr<Window> &window)
{
    m_windows.push_back(window);
}

void PlatformApplication::removeWindow(const Window *window)
{
    std::erase_if(m_windows, [window](const std::weak_ptr<Window> &entry) {
        const auto strong = entry.lock();
        return !strong || strong.get() == window;
    });
}

PlatformApplication::Subscription PlatformApplication::observe(WindowEvent event, Observer observer)
{
    const int id = ++m_lastObserverId;
    m_observers->emplace(id, Entry{event, std::move(observer)});
    return releasingToken([observers = std::weak_ptr(m_observers), id] {
        if (const auto alive = observers.lock())
            alive->erase(id);
    });
}

void PlatformApplication::post(WindowEvent event, const ObjectPtr &object)
{
    const auto observers = *m_observers;
    for (const auto &[id, entry] : observers) {
        if (entry.event == event && m_observers->contains(id))
            entry.observer(object);
    }
}

} // namespace vantora::statusitem
