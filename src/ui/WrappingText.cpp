#include "ui/WrappingText.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace vantora::ui {

namespace {

// QTextLayout breaks lines only at Unicode line separators.
QString withLineSeparators(QString text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    for (QChar &character : text) {
        if (character == u'\n' || character == u'\r' || character == QChar::ParagraphSeparator)
            character = QChar::LineSeparator;
    }
    return text;
}

} // namespace

WrappingText::WrappingText(const QString &text, QWidget *parent)
    : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    a11y::setRole(this, QAccessible::StaticText);
    m_text = text;
    a11y::setName(this, text);
}

void WrappingText::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    a11y::setName(this, text);
    updateGeometry();
    update();
}

void WrappingText::setLineSpacing(qreal extra)
{
    if (extra == m_lineSpacing)
        return;
    m_lineSpacing = extra;
    updateGeometry();
    update();
}

void WrappingText::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void WrappingText::setForeground(const DynamicColor &colour)
{
    if (colour == m_foreground)
        return;
    m_foreground = colour;
    update();
}

qreal WrappingText::layOut(QTextLayout &layout, qreal width) const
{
    QTextOption option(m_alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFont(font());
    layout.setText(withLineSeparators(m_text));
    layout.setCacheEnabled(true);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        if (line.lineNumber() > 0)
            y += m_lineSpacing;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

int WrappingText::lineCount(int width) const
{
    QTextLayout layout;
    layOut(layout, width);
    return layout.lineCount();
}

int WrappingText::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    QTextLayout layout;
    const qreal height = m_text.isEmpty() ? 0 : layOut(layout, std::max(1, width - margins.left() - margins.right()));
    return static_cast<int>(std::ceil(height)) + margins.top() + margins.bottom();
}

QSize WrappingText::sizeHint() const
{
    // As wide as the text's longest line unbroken; the layout narrows it as it needs.
    QTextLayout layout;
    layOut(layout, 1e6);
    const QMargins margins = contentsMargins();
    const int width = static_cast<int>(std::ceil(layout.maximumWidth())) + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

QSize WrappingText::minimumSizeHint() const
{
    return {0, heightForWidth(sizeHint().width())};
}

void WrappingText::paintEvent(QPaintEvent *)
{
    const QRect area = contentsRect();
    QTextLayout layout;
    layOut(layout, area.width());
    QPainter painter(this);
    painter.setPen(m_foreground ? m_foreground->resolve(colorScheme(this)) : palette().color(QPalette::WindowText));
    layout.draw(&painter, area.topLeft());
}

void WrappingText::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace vantora::ui
