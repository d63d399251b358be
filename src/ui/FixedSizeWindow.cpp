#include "ui/FixedSizeWindow.h"

#include <QWidget>

namespace vantora::ui {

void makeFixedSizeWindow(QWidget &window)
{
    // Naming the hints leaves out those Qt adds by default, the maximise button among them;
    // X11 window managers read its absence from the Motif hints and offer no maximising.
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint);
}

} // namespace vantora::ui
