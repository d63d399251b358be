#include "ui/ElidedLabel.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace vantora::ui {

ElidedLabel::ElidedLabel(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    a11y::setRole(this, QAccessible::StaticText);
}

void ElidedLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    setPlainToolTip(*this, text);
    updateGeometry();
    update();
}

void ElidedLabel::setForeground(const DynamicColor &colour)
{
    if (colour == m_foreground)
        return;
    m_foreground = colour;
    update();
}

QString ElidedLabel::displayedText() const
{
    return fontMetrics().elidedText(singleLine(), Qt::ElideRight, contentsRect().width());
}

QString ElidedLabel::singleLine() const
{
    QString line = m_text;
    for (QChar &character : line) {
        if (character == u'\n' || character == u'\r' || character == QChar::LineSeparator
            || character == QChar::ParagraphSeparator)
            character = u' ';
    }
    return line;
}

QSize ElidedLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    // Rounded up: a hint rounded to the nearest pixel may be a fraction short of the text,
    // which then ends in "…" although the label got all it asked for.
    const int textWidth = static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(singleLine())));
    return {textWidth + margins.left() + margins.right(), fontMetrics().height() + margins.top() + margins.bottom()};
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + margins.left() + margins.right(),
            sizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_foreground ? m_foreground->resolve(colorScheme(this)) : palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, displayedText());
}

void ElidedLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace vantora::ui
