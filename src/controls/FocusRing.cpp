#include "controls/FocusRing.h"

#include "ui/EnvironmentKeys.h"
#include "ui/KeyboardFocus.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"

#include <QFocusEvent>
#include <QPainter>

namespace vantora::controls::focusRing {

namespace {
constexpr double lineWidth = 2;
} // namespace

bool cameByKeyboard(const QFocusEvent &event)
{
    return ui::focusCameByKeyboard(event);
}

void paint(QPainter &painter, const QWidget *widget, const QRectF &bounds, double cornerRadius)
{
    const QColor orange = ui::systemColours::orange().resolve(ui::colorScheme(widget));
    ui::shapes::strokeInside(painter, bounds, cornerRadius, lineWidth, orange);
}

} // namespace vantora::controls::focusRing
