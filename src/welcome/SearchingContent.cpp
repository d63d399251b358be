#include "welcome/SearchingContent.h"

#include "welcome/ConnectionPillPalette.h"
#include "welcome/ConnectionPillTexts.h"
#include "welcome/SearchingSpinner.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

namespace vantora {

namespace {

constexpr qreal spacing = 13;
constexpr qreal nudge = 2;

} // namespace

SearchingContent::SearchingContent(QWidget *pill, const QString &message)
    : PillContent(pill)
    , m_message(message)
    , m_previousMessage(message)
    , m_spinner(new SearchingSpinner(pillPalette::searching(), this))
    , m_crossFade(this, "searchMessage", 1, [this] {
        layoutContent();
        update();
    })
{
    ui::a11y::setCombined(this, ConnectionPillTexts::searchingLabel());
    // A status line, read out as it appears.
    ui::a11y::setRole(this, QAccessible::StaticText);
    layoutContent();
}

void SearchingContent::showMessage(const QString &message, const ui::Animation &animation)
{
    if (message == m_message)
        return;
    m_previousMessage = m_message;
    m_message = message;
    m_crossFade.setImmediately(0);
    m_crossFade.animateTo(1, animation);
}

qreal SearchingContent::widthOf(const QString &text) const
{
    return qCeil(QFontMetricsF(font()).horizontalAdvance(text));
}

qreal SearchingContent::rowLeft() const
{
    const qreal fade = m_crossFade.value();
    const qreal messageWidth = widthOf(m_previousMessage) * (1 - fade) + widthOf(m_message) * fade;
    const qreal rowWidth = SearchingSpinner::side + spacing + messageWidth;
    return (width() - rowWidth) / 2 + nudge;
}

qreal SearchingContent::messageLeft() const
{
    return rowLeft() + SearchingSpinner::side + spacing;
}

void SearchingContent::layoutContent()
{
    const qreal spinnerLeft = rowLeft() - (m_spinner->width() - SearchingSpinner::side) / 2;
    m_spinner->move(qRound(spinnerLeft), (height() - m_spinner->height()) / 2);
}

void SearchingContent::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor colour = pillPalette::searching().resolve(ui::colorScheme(this));
    const qreal fade = m_crossFade.value();
    const qreal left = messageLeft();
    const auto paintMessage = [&](const QString &text, qreal opacity) {
        if (opacity <= 0)
            return;
        painter.setOpacity(opacity);
        painter.setPen(colour);
        painter.drawText(QRectF(left, 0, widthOf(text) + 1, height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    };
    paintMessage(m_previousMessage, 1 - fade);
    paintMessage(m_message, fade);
}

} // namespace vantora
