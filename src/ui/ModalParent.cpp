#include "ui/ModalParent.h"

#include <QScreen>
#include <QWidget>

#include <utility>

namespace vantora::ui {

namespace {

ScreenSource &loneDialogScreen()
{
    static ScreenSource source;
    return source;
}

} // namespace

QWidget *modalParentFor(QWidget *origin)
{
    QWidget *window = origin ? origin->window() : nullptr;
    return window && window->isVisible() && !window->isMinimized() ? window : nullptr;
}

ScreenSource setLoneDialogScreen(ScreenSource source)
{
    return std::exchange(loneDialogScreen(), std::move(source));
}

void placeLoneDialog(QWidget &dialog)
{
    QScreen *screen = loneDialogScreen() ? loneDialogScreen()() : nullptr;
    if (!screen)
        return;
    dialog.adjustSize();
    QRect placed({}, dialog.size());
    placed.moveCenter(screen->availableGeometry().center());
    dialog.move(placed.topLeft());
}

} // namespace vantora::ui
