#include "ui/PanelButton.h"

#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/KeyboardFocus.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QPainter>

namespace vantora::ui {

namespace {

constexpr int buttonHeight = 24;
constexpr int sideMargin = 12;
constexpr double radius = 6;

const DynamicColor plate{colours::white(), colours::white(0.16)};
const DynamicColor edge{colours::black(0.16), colours::white(0.1)};
const DynamicColor label{colours::grey(0.16), colours::grey(0.94)};

} // namespace

PanelButton::PanelButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
    setFont(systemFont(13));
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
}

QSize PanelButton::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(text()) + 2 * sideMargin, buttonHeight};
}

QSize PanelButton::minimumSizeHint() const
{
    return sizeHint();
}

void PanelButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = colorScheme(this);
    const QColor accent = systemColours::orange().resolve(scheme);
    const bool prominent = isDefault();
    if (!isEnabled())
        painter.setOpacity(0.4);

    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    QColor fill = prominent ? accent : plate.resolve(scheme);
    if (isDown())
        fill = scheme == ColorScheme::Dark && !prominent ? fill.lighter(160) : fill.darker(115);
    painter.setPen(QPen(prominent ? accent.darker(110) : edge.resolve(scheme), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (hasFocus() && m_showsFocusRing) {
        QColor ring = accent;
        ring.setAlphaF(0.6);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box, radius, radius);
    }
    painter.setPen(prominent ? colours::white() : label.resolve(scheme));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

void PanelButton::focusInEvent(QFocusEvent *event)
{
    m_showsFocusRing = focusCameByKeyboard(*event);
    QPushButton::focusInEvent(event);
}

void PanelButton::focusOutEvent(QFocusEvent *event)
{
    m_showsFocusRing = false;
    QPushButton::focusOutEvent(event);
}

} // namespace vantora::ui
