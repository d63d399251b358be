#include "ui/SystemFont.h"

#include <QGuiApplication>

namespace vantora::ui {

QFont systemFont(int pixelSize, QFont::Weight weight, qreal tracking)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    if (tracking != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return font;
}

} // namespace vantora::ui
