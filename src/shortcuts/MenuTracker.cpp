#include "MenuTracker.h"

#include "runtime/NotificationCenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

namespace vantora::GlobalShortcuts {

MenuTracker::MenuTracker(runtime::NotificationCenter &notifications, QObject *parent)
    : QObject(parent)
    , m_notifications(notifications)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

MenuTracker::~MenuTracker()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool MenuTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return false;
    // Exactly popups: tool windows (our panel) and tooltips take no keyboard grab.
    const auto *window = qobject_cast<QWindow *>(watched);
    if (!window || window->type() != Qt::Popup)
        return false;
    if (event->type() == QEvent::Show)
        popupOpened(watched);
    else
        popupClosed(watched);
    return false;
}

void MenuTracker::popupOpened(QObject *popup)
{
    if (m_openPopups.contains(popup))
        return;
    m_openPopups.insert(popup);
    // A popup destroyed while open sends no Hide.
    connect(popup, &QObject::destroyed, this, [this, popup] { popupClosed(popup); });
    if (m_openPopups.size() == 1)
        m_notifications.post(menuDidBeginTracking);
}

void MenuTracker::popupClosed(QObject *popup)
{
    if (!m_openPopups.remove(popup))
        return;
    disconnect(popup, &QObject::destroyed, this, nullptr);
    if (m_openPopups.isEmpty())
        m_notifications.post(menuDidEndTracking);
}

} // namespace vantora::GlobalShortcuts
