#include "ui/BridgeIllustration.h"

#include "ui/SvgImage.h"

#include <QPainter>

namespace vantora::ui {

BridgeIllustration::BridgeIllustration(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(frameSize);
}

void BridgeIllustration::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    SvgImage(Image::HueBridgeWelcome).paint(painter, pictureRect);
}

} // namespace vantora::ui
