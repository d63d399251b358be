#include "ui/WindowMover.h"

#include <QWidget>
#include <QWindow>

namespace vantora::ui {

WindowMover &WindowMover::system()
{
    static SystemWindowMover mover;
    return mover;
}

void SystemWindowMover::pressed(QWidget &window, QPoint globalPosition)
{
    m_manual.reset();
    if (QWindow *handle = window.windowHandle(); handle && handle->startSystemMove())
        return;
    m_manual = ManualMove{&window, globalPosition - window.frameGeometry().topLeft()};
}

void SystemWindowMover::moved(QPoint globalPosition)
{
    if (m_manual && m_manual->window)
        m_manual->window->move(globalPosition - m_manual->grabOffset);
}

void SystemWindowMover::released()
{
    m_manual.reset();
}

} // namespace vantora::ui
