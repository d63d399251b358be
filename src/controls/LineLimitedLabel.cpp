#include "controls/LineLimitedLabel.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace vantora::controls {

LineLimitedLabel::LineLimitedLabel(int maximumLines, QWidget *parent)
    : QWidget(parent)
    , m_maximumLines(std::max(maximumLines, 1))
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    ui::a11y::setRole(this, QAccessible::StaticText);
}

void LineLimitedLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    ui::a11y::setName(this, text);
    updateToolTip();
    updateGeometry();
    update();
}

void LineLimitedLabel::setForeground(const ui::DynamicColor &colour)
{
    if (colour == m_foreground)
        return;
    m_foreground = colour;
    update();
}

void LineLimitedLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QStringList LineLimitedLabel::linesAt(int width) const
{
    if (m_text.isEmpty() || width <= 0)
        return {};
    QString flat = m_text;
    flat.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(flat, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    while (lines.size() < m_maximumLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const bool last = lines.size() == m_maximumLines - 1;
        const int start = line.textStart();
        if (last && start + line.textLength() < flat.size()) {
            const QString rest = flat.mid(start).replace(QChar::LineSeparator, u' ');
            lines.append(fontMetrics().elidedText(rest, Qt::ElideRight, width));
        } else {
            lines.append(flat.mid(start, line.textLength()).trimmed());
        }
    }
    layout.endLayout();
    return lines;
}

int LineLimitedLabel::heightForWidth(int width) const
{
    const int lines = std::max<int>(1, int(linesAt(width).size()));
    return lines * fontMetrics().lineSpacing();
}

QSize LineLimitedLabel::sizeHint() const
{
    const int width = std::min(fontMetrics().horizontalAdvance(m_text), 400);
    return {width, heightForWidth(std::max(width, 1))};
}

QSize LineLimitedLabel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")), fontMetrics().lineSpacing()};
}

void LineLimitedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_foreground ? m_foreground->resolve(ui::colorScheme(this)) : palette().color(QPalette::WindowText));
    const QStringList lines = linesAt(width());
    const int spacing = fontMetrics().lineSpacing();
    const int top = (height() - int(lines.size()) * spacing) / 2;
    for (int index = 0; index < lines.size(); ++index) {
        const QRect row(0, top + index * spacing, width(), spacing);
        painter.drawText(row, int(m_alignment | Qt::AlignVCenter) | Qt::TextSingleLine, lines[index]);
    }
}

void LineLimitedLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        updateToolTip();
    }
    QWidget::changeEvent(event);
}

void LineLimitedLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateToolTip();
}

void LineLimitedLabel::updateToolTip()
{
    const QStringList lines = linesAt(width());
    const bool cut = !lines.isEmpty() && lines.back().endsWith(QChar(0x2026)) && !m_text.endsWith(QChar(0x2026));
    ui::setPlainToolTip(*this, cut ? m_text : QString());
}

} // namespace vantora::controls
