#include "ui/FrameClock.h"

#include "ui/ViewRuntime.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace vantora::ui {

FrameClock::FrameClock(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_clock(ViewRuntime::of(window).resolvedClock())
    , m_tasks(std::make_unique<runtime::TaskScope>(ViewRuntime::of(window).resolvedExecutor()))
{
    window->installEventFilter(this);
}

FrameClock &FrameClock::of(QWidget *widget)
{
    QWidget *window = widget->window();
    if (auto *existing = window->findChild<FrameClock *>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new FrameClock(window);
}

bool FrameClock::isWindowVisible() const
{
    return m_window->isVisible();
}

runtime::SteadyTime FrameClock::now() const
{
    return m_clock.steadyNow();
}

bool FrameClock::isRunning() const
{
    return m_loop.isValid() && !m_loop.isCancelled() && !m_loop.isFinished();
}

void FrameClock::add(FrameListener *listener, QObject *owner)
{
    if (!isWindowVisible())
        return;
    // The entry of a destroyed owner may name the very address a new listener now has.
    forgetDeparted();
    if (contains(listener))
        return;
    m_listeners.push_back({listener, owner});
    if (!isRunning())
        m_loop = m_tasks->spawn(runFrames());
}

void FrameClock::remove(FrameListener *listener)
{
    std::erase_if(m_listeners, [listener](const Entry &entry) { return entry.listener == listener; });
    forgetDeparted();
    // Not even one more tick once nothing moves.
    if (m_listeners.empty())
        m_loop.cancel();
}

bool FrameClock::contains(const FrameListener *listener) const
{
    return std::any_of(m_listeners.begin(), m_listeners.end(),
                       [listener](const Entry &entry) { return entry.listener == listener && entry.owner; });
}

void FrameClock::forgetDeparted()
{
    std::erase_if(m_listeners, [](const Entry &entry) { return !entry.owner; });
}

runtime::Task<void> FrameClock::runFrames()
{
    while (!m_listeners.empty()) {
        co_await m_clock.sleepFor(interval);
        deliverFrame();
    }
}

void FrameClock::deliverFrame()
{
    const runtime::SteadyTime now = m_clock.steadyNow();
    forgetDeparted();
    // A listener may add or remove others (or itself) while it runs, and may destroy the
    // owner of another one.
    const auto listeners = m_listeners;
    for (const Entry &entry : listeners) {
        if (entry.owner && contains(entry.listener) && entry.listener->frame(now) == FrameDemand::Done)
            remove(entry.listener);
    }
    forgetDeparted();
}

void FrameClock::stop()
{
    m_loop.cancel();
    const auto listeners = std::exchange(m_listeners, {});
    for (const Entry &entry : listeners) {
        if (entry.owner)
            entry.listener->framesStopped();
    }
}

bool FrameClock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Hide)
        stop();
    return QObject::eventFilter(watched, event);
}

} // namespace vantora::ui
