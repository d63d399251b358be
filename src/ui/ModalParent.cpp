#include "ui/ModalParent.h"

#include <QWidget>

namespace vantora::ui {

QWidget *modalParentFor(QWidget *origin)
{
    QWidget *window = origin ? origin->window() : nullptr;
    return window && window->isVisible() && !window->isMinimized() ? window : nullptr;
}

} // namespace vantora::ui
