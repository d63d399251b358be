#include "ui/ApplicationQuit.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>

namespace vantora::ui {

void quitApplication()
{
    QCoreApplication::exit(0);
}

QAction *applicationQuitAction()
{
    static QPointer<QAction> action;
    if (!action) {
        action = new QAction(QCoreApplication::translate("vantora::ui", "Quit vantora"), QCoreApplication::instance());
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
        // Active in the window or open menu that holds it.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
        QObject::connect(action, &QAction::triggered, action, [] { quitApplication(); });
    }
    return action;
}

} // namespace vantora::ui
