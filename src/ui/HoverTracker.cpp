#include "ui/HoverTracker.h"

#include <QEvent>
#include <QWidget>

namespace vantora::ui {

HoverTracker::HoverTracker(QWidget *target)
    : QObject(target)
    , m_targetType(target->metaObject())
{
    target->installEventFilter(this);
}

bool HoverTracker::eventFilter(QObject *watched, QEvent *event)
{
    // During destruction the object reports the class whose destructor runs.
    if (!watched->metaObject()->inherits(m_targetType))
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
        setHovered(true);
        break;
    case QEvent::Leave:
    case QEvent::Hide: // a hidden widget is never told that the pointer left
        setHovered(false);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void HoverTracker::setHovered(bool hovered)
{
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    Q_EMIT hoveredChanged(hovered);
}

} // namespace vantora::ui
