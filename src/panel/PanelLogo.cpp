#include "panel/PanelLogo.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SvgImage.h"

#include <QPainter>

namespace vantora {

PanelLogo::PanelLogo(ui::DynamicColor colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(std::move(colour))
{
    setFixedSize(frame);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(tr("vantora"));
    ui::a11y::setHeading(this);
}

bool PanelLogo::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        update();
    return QWidget::event(event);
}

void PanelLogo::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    ui::SvgImage(ui::Image::VantoraLogo).paint(painter, rect(), m_colour.resolve(ui::colorScheme(this)));
}

} // namespace vantora
