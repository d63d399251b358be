#include "ui/WindowMover.h"

#include <QWidget>
#include <QWindow>

namespace vantora::ui {

WindowMover &WindowMover::system()
{
    static SystemWindowMover mover;
    return mover;
}

WindowMover &WindowMover::byHand()
{
    static HandWindowMover mover;
    return mover;
}

void HandWindowMover::pressed(QWidget &window, QPoint globalPosition)
{
    m_move = Move{&window, globalPosition - window.frameGeometry().topLeft()};
}

void HandWindowMover::moved(QPoint globalPosition)
{
    if (m_move && m_move->window)
        m_move->window->move(globalPosition - m_move->grabOffset);
}

void HandWindowMover::released()
{
    m_move.reset();
}

void SystemWindowMover::pressed(QWidget &window, QPoint globalPosition)
{
    m_byHand.released();
    if (QWindow *handle = window.windowHandle(); handle && handle->startSystemMove())
        return;
    m_byHand.pressed(window, globalPosition);
}

void SystemWindowMover::moved(QPoint globalPosition)
{
    m_byHand.moved(globalPosition);
}

void SystemWindowMover::released()
{
    m_byHand.released();
}

} // namespace vantora::ui
