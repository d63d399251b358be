#include "ui/PanelCheckBox.h"

#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/KeyboardFocus.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace vantora::ui {

namespace {

constexpr int boxSide = 14;
// Room for the focus ring around the box, which stands a pixel clear of it so that it shows
// on a ticked box too.
constexpr int ringMargin = 3;
constexpr int labelGap = 6;
constexpr double radius = 3.5;

const DynamicColor plate{colours::white(), colours::white(0.16)};
const DynamicColor edge{colours::black(0.25), colours::white(0.2)};
const DynamicColor label{colours::grey(0.16), colours::grey(0.94)};

} // namespace

PanelCheckBox::PanelCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent)
{
    setFont(systemFont(13));
    setFocusPolicy(Qt::TabFocus);
}

QSize PanelCheckBox::sizeHint() const
{
    const int labelWidth = text().isEmpty() ? 0 : labelGap + fontMetrics().horizontalAdvance(text());
    return {2 * ringMargin + boxSide + labelWidth, std::max(boxSide + 2 * ringMargin, fontMetrics().height())};
}

QSize PanelCheckBox::minimumSizeHint() const
{
    return sizeHint();
}

// The stock box takes clicks only where the style draws its parts; this one takes them on its
// whole face, box and label alike.
bool PanelCheckBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void PanelCheckBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = colorScheme(this);
    const QColor accent = systemColours::orange().resolve(scheme);
    const bool on = isChecked();
    if (!isEnabled())
        painter.setOpacity(0.4);

    const QRectF box(ringMargin, (height() - boxSide) / 2.0, boxSide, boxSide);
    QColor fill = on ? accent : plate.resolve(scheme);
    if (isDown())
        fill = scheme == ColorScheme::Dark && !on ? fill.lighter(160) : fill.darker(115);
    painter.setPen(QPen(on ? accent.darker(110) : edge.resolve(scheme), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (on) {
        QPainterPath tick;
        tick.moveTo(box.left() + 0.26 * boxSide, box.top() + 0.52 * boxSide);
        tick.lineTo(box.left() + 0.43 * boxSide, box.top() + 0.70 * boxSide);
        tick.lineTo(box.left() + 0.75 * boxSide, box.top() + 0.30 * boxSide);
        painter.setPen(QPen(colours::white(), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
    if (hasFocus() && m_showsFocusRing) {
        QColor ring = accent;
        ring.setAlphaF(0.6);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(-2, -2, 2, 2), radius + 2, radius + 2);
    }
    painter.setPen(label.resolve(scheme));
    painter.setFont(font());
    const QRect textArea = rect().adjusted(int(box.right()) + labelGap, 0, 0, 0);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                     fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width()));
}

void PanelCheckBox::focusInEvent(QFocusEvent *event)
{
    m_showsFocusRing = focusCameByKeyboard(*event);
    QCheckBox::focusInEvent(event);
}

void PanelCheckBox::focusOutEvent(QFocusEvent *event)
{
    m_showsFocusRing = false;
    QCheckBox::focusOutEvent(event);
}

} // namespace vantora::ui
