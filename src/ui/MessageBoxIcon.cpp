#include "ui/MessageBoxIcon.h"

#include "ui/SvgImage.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QStyle>

namespace vantora::ui {

void setMessageIcon(QMessageBox &box, QMessageBox::Icon icon)
{
    if (icon != QMessageBox::Information) {
        box.setIcon(icon);
        return;
    }
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    // The highest ratio: drawn down on a lower screen, the picture stays sharp there too.
    const qreal ratio = qGuiApp->devicePixelRatio();
    const QImage image = SvgImage(Image::NoticeInfo).render(QSizeF(side, side), ratio,
                                                           box.palette().color(QPalette::Highlight));
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    box.setIconPixmap(pixmap);
}

} // namespace vantora::ui
