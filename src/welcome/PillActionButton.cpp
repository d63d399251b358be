#include "welcome/PillActionButton.h"

#include "welcome/ConnectionPillMetrics.h"

#include "controls/FocusRing.h"

#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"
#include "ui/SystemFont.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace vantora {

namespace {

constexpr qreal chevronSpacing = 8;
constexpr QSizeF chevronSize{8, 4.5};
constexpr qreal chevronLineWidth = 1.4;
// Room beside the label of a button that is only its label, for the focus ring around it.
constexpr int ringMargin = 6;

void paintChevron(QPainter &painter, const QRectF &box, const QColor &colour)
{
    QPainterPath chevron;
    chevron.moveTo(box.topLeft());
    chevron.lineTo(box.center().x(), box.bottom());
    chevron.lineTo(box.topRight());
    painter.setPen(QPen(colour, chevronLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(chevron);
}

} // namespace

PillActionButton::PillActionButton(const QString &title, Trailing trailing, HitShape hitShape,
                                   ui::DynamicColor colour, QWidget *parent)
    : QAbstractButton(parent)
    , m_trailing(trailing)
    , m_hitShape(hitShape)
    , m_colour(std::move(colour))
{
    setText(title);
    setFont(ui::systemFont(pillMetrics::textPixelSize, QFont::Medium));
}

qreal PillActionButton::labelOpacity() const
{
    return isDown() ? pressedOpacity : 1;
}

qreal PillActionButton::labelWidth() const
{
    qreal width = qCeil(QFontMetricsF(font()).horizontalAdvance(text()));
    if (m_trailing == Trailing::Chevron)
        width += chevronSpacing + chevronSize.width();
    return width;
}

QSize PillActionButton::sizeHint() const
{
    const int margins = m_hitShape == HitShape::Bounds ? 2 * ringMargin : 0;
    return {qCeil(labelWidth()) + margins, QFontMetrics(font()).height()};
}

bool PillActionButton::hitButton(const QPoint &position) const
{
    if (m_hitShape == HitShape::Capsule)
        return ui::shapes::roundedRect(rect(), ui::shapes::capsule).contains(position);
    return rect().contains(position);
}

void PillActionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(labelOpacity());
    const QColor colour = m_colour.resolve(ui::colorScheme(this));
    const qreal textWidth = qCeil(QFontMetricsF(font()).horizontalAdvance(text()));
    const qreal left = (width() - labelWidth()) / 2;
    painter.setFont(font());
    painter.setPen(colour);
    painter.drawText(QRectF(left, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     text());
    if (m_trailing == Trailing::Chevron) {
        const QPointF origin(left + textWidth + chevronSpacing, (height() - chevronSize.height()) / 2);
        paintChevron(painter, QRectF(origin, chevronSize), colour);
    }
    if (showsFocusRing()) {
        painter.setOpacity(1);
        // Round the whole pill, or round the label of a button that is only its label.
        const QRectF bounds = QRectF(rect()).adjusted(0, 1, 0, -1);
        controls::focusRing::paint(painter, this, bounds, bounds.height() / 2);
    }
}

void PillActionButton::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = controls::focusRing::cameByKeyboard(*event);
    QAbstractButton::focusInEvent(event);
}

void PillActionButton::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::focusOutEvent(event);
}

} // namespace vantora
