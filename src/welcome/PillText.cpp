#include "welcome/PillText.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

namespace vantora {

namespace {

QString singleLine(QString text)
{
    for (QChar &character : text) {
        if (character == u'\n' || character == u'\r' || character == QChar::LineSeparator
            || character == QChar::ParagraphSeparator)
            character = u' ';
    }
    return text;
}

} // namespace

PillText::PillText(const QString &text, Qt::TextElideMode elision, ui::DynamicColor colour, QWidget *parent)
    : QWidget(parent)
    , m_text(singleLine(text))
    , m_elision(elision)
    , m_colour(std::move(colour))
{
    setAccessibleName(text);
    ui::a11y::setRole(this, QAccessible::StaticText);
}

int PillText::naturalWidth() const
{
    return qCeil(QFontMetricsF(font()).horizontalAdvance(m_text));
}

QString PillText::displayedText() const
{
    return QFontMetricsF(font()).elidedText(m_text, m_elision, width());
}

void PillText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_colour.resolve(ui::colorScheme(this)));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, displayedText());
}

} // namespace vantora
