#include "LocalEventMonitor.h"

#include <QCoreApplication>
#include <QWindow>

namespace vantora::GlobalShortcuts {

LocalEventMonitor::LocalEventMonitor(std::initializer_list<EventType> types, const platform::KeyboardLayout &layout,
                                     Callback callback, QObject *parent)
    : QObject(parent)
    , m_layout(layout)
    , m_callback(std::move(callback))
{
    for (const EventType type : types) {
        m_watchesKeyDown = m_watchesKeyDown || type == EventType::keyDown;
        m_watchesKeyUp = m_watchesKeyUp || type == EventType::keyUp;
    }
}

LocalEventMonitor::~LocalEventMonitor()
{
    stop();
}

LocalEventMonitor &LocalEventMonitor::start()
{
    if (!m_isStarted && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        m_isStarted = true;
    }
    return *this;
}

void LocalEventMonitor::stop()
{
    if (!m_isStarted)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_isStarted = false;
}

bool LocalEventMonitor::eventFilter(QObject *watched, QEvent *event)
{
    // A key event travels on from its window to the focus widget and up to its parents,
    // passing this filter each time; only its arrival at the window counts.
    if (!qobject_cast<QWindow *>(watched))
        return false;
    const auto keyEvent = KeyEvent::fromQt(*event, m_layout);
    if (!keyEvent)
        return false;
    const bool wanted = keyEvent->type == EventType::keyDown ? m_watchesKeyDown : m_watchesKeyUp;
    return wanted && m_callback(*keyEvent) == EventDisposition::consume;
}

} // namespace vantora::GlobalShortcuts
