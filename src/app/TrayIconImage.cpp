#include "app/TrayIconImage.h"

#include "ui/SvgImage.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>

namespace vantora {

QIcon trayIconImage()
{
    const ui::SvgImage bulb(ui::Image::MenuBarBulb);
    const QColor tint = QGuiApplication::palette().color(QPalette::WindowText);
    QIcon icon;
    // Trays ask for sizes from 16 to 48 pixels; each is drawn sharp rather than scaled.
    for (const int side : {16, 18, 22, 24, 32, 48})
        icon.addPixmap(QPixmap::fromImage(bulb.render(QSizeF(side, side), 1.0, tint)));
    return icon;
}

} // namespace vantora
