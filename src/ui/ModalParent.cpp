#include "ui/ModalParent.h"

#include <QApplication>
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

QWidget *openDialogOf(const QWidget &window)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == &window)
        return nullptr;
    // A dialog is a window of its own: its owner is a parent, never an ancestor in one window.
    for (const QWidget *owner = modal ? modal->parentWidget() : nullptr; owner; owner = owner->parentWidget()) {
        if (owner == &window)
            return modal;
    }
    return nullptr;
}

void bringDialogForward(const QWidget &window)
{
    if (QWidget *dialog = openDialogOf(window)) {
        dialog->raise();
        dialog->activateWindow();
    }
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
