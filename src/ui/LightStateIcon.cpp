#include "ui/LightStateIcon.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Spinner.h"
#include "ui/SvgImage.h"

#include <QPainter>

#include <numbers>

namespace vantora::ui {

namespace {

QColor defaultOnColour()
{
    return QColor::fromRgbF(1, 0.8f, 0.36f);
}

} // namespace

LightStateIcon::LightStateIcon(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(side, side);
    a11y::setHidden(this);
}

void LightStateIcon::apply(const Fields &fields)
{
    if (fields == m_fields)
        return;
    m_fields = fields;
    // Most lights are never updated while they are on screen: the spinner is made when one is.
    if (fields.isUpdating && !m_spinner) {
        m_spinner = new Spinner(this);
        m_spinner->move((side - Spinner::side) / 2, (side - Spinner::side) / 2);
    }
    if (m_spinner)
        m_spinner->setVisible(fields.isUpdating);
    update();
}

QColor LightStateIcon::stateColour(const Fields &fields, ColorScheme scheme)
{
    const bool dark = scheme == ColorScheme::Dark;
    if (!fields.isReachable)
        return colours::grey(dark ? 0.35 : 0.9116);
    if (!fields.isOn)
        return colours::grey(dark ? 0.53 : 0.7882);
    return fields.tint.value_or(defaultOnColour());
}

LightStateIcon::Ring LightStateIcon::ring(const Fields &fields)
{
    return fields.isReachable ? Ring::Solid : Ring::Dashed;
}

qreal LightStateIcon::dashGap()
{
    return std::numbers::pi * ringDiameter / dashCount - dashLength;
}

Image LightStateIcon::glyphName(const Fields &fields)
{
    return fields.isReachable ? Image::LightBulb : Image::UnreachableLightBulb;
}

QSizeF LightStateIcon::glyphSize(const Fields &fields)
{
    return fields.isReachable ? QSizeF(14, 20) : QSizeF(22, 23);
}

void LightStateIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = stateColour(m_fields, colorScheme(this));

    QPen pen(colour, ringWidth, Qt::SolidLine, Qt::RoundCap);
    if (ring(m_fields) == Ring::Dashed) {
        // Qt measures dashes in pen widths.
        pen.setDashPattern({dashLength / ringWidth, dashGap() / ringWidth});
        pen.setDashOffset(dashPhase / ringWidth);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = ringWidth / 2;
    painter.drawEllipse(QRectF(inset, inset, ringDiameter, ringDiameter));

    if (m_fields.isUpdating)
        return; // the spinner stands in the centre
    const QSizeF glyph = glyphSize(m_fields);
    const QRectF frame(QPointF((side - glyph.width()) / 2, (side - glyph.height()) / 2), glyph);
    SvgImage(glyphName(m_fields)).paint(painter, frame, colour);
}

} // namespace vantora::ui
