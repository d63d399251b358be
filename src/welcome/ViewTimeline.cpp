#include "welcome/ViewTimeline.h"

#include "ui/Environment.h"
#include "ui/FrameClock.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>

namespace vantora {

ViewTimeline::ViewTimeline(QWidget *view, Origin origin, WindowActivity activity, std::function<bool()> isWanted)
    : QObject(view)
    , m_view(view)
    , m_viewType(view->metaObject())
    , m_origin(origin)
    , m_activity(activity)
    , m_isWanted(std::move(isWanted))
{
    view->installEventFilter(this);
}

ViewTimeline::~ViewTimeline()
{
    if (m_clock)
        m_clock->remove(this);
}

bool ViewTimeline::isRunning() const
{
    return m_clock && m_clock->contains(this);
}

double ViewTimeline::elapsedSeconds() const
{
    if (!m_start)
        return 0;
    return std::max(0.0, std::chrono::duration<double>(m_date - *m_start).count());
}

bool ViewTimeline::shouldRun() const
{
    // During destruction the view reports the class whose destructor runs.
    if (!m_view->metaObject()->inherits(m_viewType))
        return false;
    if (!m_view->isVisible() || !ui::FrameClock::of(m_view).isWindowVisible())
        return false;
    if (m_activity == WindowActivity::Required && !m_view->isActiveWindow())
        return false;
    return m_isWanted();
}

void ViewTimeline::reevaluate()
{
    const bool run = shouldRun();
    if (run && !isRunning())
        start();
    else if (!run && isRunning())
        stop();
}

void ViewTimeline::start()
{
    ui::FrameClock &clock = ui::FrameClock::of(m_view);
    m_date = clock.now();
    if (m_origin == Origin::EachStart || !m_start)
        m_start = m_date;
    m_clock = &clock;
    clock.add(this, m_view);
    m_view->update();
}

void ViewTimeline::stop()
{
    if (m_clock)
        m_clock->remove(this);
    m_clock = nullptr;
    m_view->update();
}

ui::FrameDemand ViewTimeline::frame(runtime::SteadyTime now)
{
    m_date = now;
    m_view->update();
    return ui::FrameDemand::More;
}

void ViewTimeline::framesStopped()
{
    m_clock = nullptr;
}

bool ViewTimeline::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        switch (event->type()) {
        case QEvent::Show:
            if (m_origin == Origin::FirstShow && !m_start)
                m_start = ui::FrameClock::of(m_view).now();
            reevaluate();
            break;
        case QEvent::Hide:
            // Without asking the view: it may be hidden on its way to destruction.
            if (isRunning())
                stop();
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            reevaluate();
            break;
        default:
            if (event->type() == ui::EnvironmentChangeEvent::eventType())
                reevaluate();
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantora
