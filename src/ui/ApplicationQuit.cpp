#include "ui/ApplicationQuit.h"

#include <QCoreApplication>

namespace vantora::ui {

void quitApplication()
{
    QCoreApplication::exit(0);
}

} // namespace vantora::ui
