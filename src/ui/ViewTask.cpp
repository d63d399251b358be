#include "ui/ViewTask.h"

#include "ui/ViewRuntime.h"

#include <QEvent>
#include <QWidget>

namespace vantora::ui {

ViewTask::ViewTask(QWidget *view, Body body)
    : QObject(view)
    , m_view(view)
    , m_body(std::move(body))
{
    view->installEventFilter(this);
    if (view->isVisible())
        start();
}

bool ViewTask::isRunning() const
{
    return m_run.isValid() && !m_run.isFinished() && !m_run.isCancelled();
}

void ViewTask::restart()
{
    cancel();
    if (m_view->isVisible())
        start();
}

void ViewTask::start()
{
    if (isRunning())
        return;
    if (!m_tasks)
        m_tasks = std::make_unique<runtime::TaskScope>(ViewRuntime::of(m_view).resolvedExecutor());
    m_run = m_tasks->spawn(m_body());
}

void ViewTask::cancel()
{
    m_run.cancel();
    m_run = {};
}

bool ViewTask::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::Show)
            start();
        else if (event->type() == QEvent::Hide)
            cancel();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantora::ui
