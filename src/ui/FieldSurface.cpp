#include "ui/FieldSurface.h"

#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SystemColours.h"

#include <QPainter>
#include <QWidget>

namespace vantora::ui::fieldSurface {

namespace {

constexpr double radius = 6;
const DynamicColor ground{colours::white(), colours::white(0.06)};
const DynamicColor edge{colours::black(0.14), colours::white(0.14)};

} // namespace

void paint(QPainter &painter, const QWidget &field, Outline outline)
{
    const ColorScheme scheme = colorScheme(&field);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(ground.resolve(scheme));
    if (outline == Outline::Accent)
        painter.setPen(QPen(systemColours::orange().resolve(scheme), 2));
    else
        painter.setPen(QPen(edge.resolve(scheme), 1));
    painter.drawRoundedRect(QRectF(field.rect()).adjusted(1, 1, -1, -1), radius, radius);
    painter.restore();
}

} // namespace vantora::ui::fieldSurface
