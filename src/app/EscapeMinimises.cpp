#include "app/EscapeMinimises.h"

#include <QKeyEvent>
#include <QWidget>

namespace vantora {

EscapeMinimises::EscapeMinimises(QWidget &window, std::function<bool()> applies)
    : QObject(&window)
    , m_window(window)
    , m_applies(std::move(applies))
{
    window.installEventFilter(this);
}

bool EscapeMinimises::eventFilter(QObject *watched, QEvent *event)
{
    // The window itself gets a key only once every widget inside it has let it go.
    if (watched == &m_window && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && m_applies()) {
            m_window.showMinimized();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantora
