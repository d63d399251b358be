#include "ui/ScrollThreshold.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace vantora::ui {

ScrollThreshold::ScrollThreshold(QAbstractScrollArea *area, int offset, std::function<void(bool)> action)
    : QObject(area)
    , m_area(area)
    , m_offset(offset)
    , m_action(std::move(action))
    , m_past(area->verticalScrollBar()->value() >= offset)
{
    connect(area->verticalScrollBar(), &QScrollBar::valueChanged, this, &ScrollThreshold::follow);
}

void ScrollThreshold::follow(int value)
{
    const bool past = value >= m_offset;
    if (past == m_past)
        return;
    m_past = past;
    m_action(past);
}

} // namespace vantora::ui
