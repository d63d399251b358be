#include "ui/TextLabel.h"

#include "ui/EnvironmentKeys.h"

namespace vantora::ui {

TextLabel::TextLabel(const QString &text, QWidget *parent)
    : QLabel(parent)
{
    // Its colour is always the text colour, also inside a button, whose children would
    // otherwise draw in the button-text colour.
    setForegroundRole(QPalette::WindowText);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setOpenExternalLinks(false);
    setText(text);
}

void TextLabel::setForeground(const DynamicColor &colour)
{
    m_foreground = colour;
    applyForeground();
}

bool TextLabel::event(QEvent *event)
{
    if (event->type() == EnvironmentChangeEvent::eventType() || event->type() == QEvent::ParentChange
        || event->type() == QEvent::Show)
        applyForeground();
    return QLabel::event(event);
}

void TextLabel::applyForeground()
{
    if (!m_foreground)
        return;
    const QColor colour = m_foreground->resolve(colorScheme(this));
    if (palette().color(QPalette::WindowText) == colour)
        return;
    QPalette adjusted = palette();
    adjusted.setColor(QPalette::WindowText, colour);
    setPalette(adjusted);
}

} // namespace vantora::ui
