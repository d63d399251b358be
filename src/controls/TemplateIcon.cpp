#include "controls/TemplateIcon.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"

#include <QPainter>

namespace vantora::controls {

TemplateIcon::TemplateIcon(ui::Image image, QSize size, QWidget *parent)
    : QWidget(parent)
    , m_image(image)
{
    setFixedSize(size);
    ui::a11y::setHidden(this);
}

void TemplateIcon::setForeground(std::optional<ui::DynamicColor> colour)
{
    m_foreground = std::move(colour);
    update();
}

void TemplateIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor tint =
        m_foreground ? m_foreground->resolve(ui::colorScheme(this)) : palette().color(QPalette::WindowText);
    painter.setOpacity(isEnabled() ? 1.0 : 0.5);
    m_image.paint(painter, QRectF(rect()), tint);
}

} // namespace vantora::controls
