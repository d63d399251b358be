#include "welcome/InstructionText.h"

#include "ui/Accessibility.h"
#include "ui/SystemFont.h"

#include <QFontMetricsF>
#include <QPainter>

namespace vantora {

InstructionText::InstructionText(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_fade(this, "instructionFade", 1.0)
{
    setFixedSize(frameSize);
    setFont(ui::systemFont(14));
    setAccessibleName(text);
    ui::a11y::setRole(this, QAccessible::StaticText);
}

void InstructionText::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_previous = m_text;
    m_text = text;
    setAccessibleName(text);
    // The instruction tells what to do next, so its change is read out wherever the focus is.
    if (isVisible())
        ui::a11y::announce(QString(text).replace(u'\n', u' '));
    m_fade.setImmediately(0);
    m_fade.animateTo(1.0, ui::Animation::easeOut(fadeSeconds));
    update();
}

void InstructionText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(palette().color(QPalette::WindowText));
    const double fade = m_fade.value();
    if (fade < 1)
        drawLines(painter, m_previous, 1 - fade);
    drawLines(painter, m_text, fade);
}

void InstructionText::drawLines(QPainter &painter, const QString &text, double opacity) const
{
    if (opacity <= 0 || text.isEmpty())
        return;
    painter.setOpacity(opacity);
    const QFontMetricsF metrics(font());
    const QStringList lines = text.split(u'\n');
    const qreal lineHeight = metrics.height() + lineSpacing;
    const qreal blockHeight = lines.size() * metrics.height() + (lines.size() - 1) * lineSpacing;
    qreal top = (height() - blockHeight) / 2;
    for (const QString &line : lines) {
        painter.drawText(QRectF(0, top, width(), metrics.height()), Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, line);
        top += lineHeight;
    }
}

} // namespace vantora
