#include "app/WindowlessQuit.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace vantora {

namespace {

// A window a person sees as one of the application's: not a menu or a tooltip, which come
// and go with the windows they belong to.
bool isShownWindow(const QWidget &widget)
{
    const Qt::WindowType type = widget.windowType();
    return widget.isVisible() && type != Qt::Popup && type != Qt::ToolTip;
}

} // namespace

WindowlessQuit::WindowlessQuit(std::function<bool()> shownElsewhere, std::function<void()> quit, QObject *parent)
    : QObject(parent)
    , m_shownElsewhere(std::move(shownElsewhere))
    , m_quit(std::move(quit))
{
    qApp->installEventFilter(this);
}

WindowlessQuit::~WindowlessQuit()
{
    qApp->removeEventFilter(this);
}

bool WindowlessQuit::eventFilter(QObject *watched, QEvent *event)
{
    // A minimised window is hidden by the window system (spontaneously) and stays shown.
    if (event->type() == QEvent::Hide && !event->spontaneous() && !m_checkPosted && m_quit) {
        if (const auto *widget = qobject_cast<const QWidget *>(watched); widget && widget->isWindow()) {
            m_checkPosted = true;
            QMetaObject::invokeMethod(this, [this] { check(); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowlessQuit::check()
{
    m_checkPosted = false;
    if (m_shownElsewhere())
        return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::any_of(windows.begin(), windows.end(), [](const QWidget *window) { return isShownWindow(*window); }))
        return;
    std::exchange(m_quit, {})();
}

} // namespace vantora
