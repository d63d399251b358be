#include "welcome/PillContent.h"

#include "ui/Accessibility.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>

namespace vantora {

PillContent::PillContent(QWidget *pill)
    : QWidget(pill)
    , m_presence(this, "presence", 0, [this] { followPresence(); })
{
    setGeometry(pill->rect());
    followPresence();
}

void PillContent::appear(const ui::Animation &animation)
{
    m_presence.animateTo(1, animation);
}

void PillContent::disappear(const ui::Animation &animation)
{
    m_leaving = true;
    // The screen gives the focus on to a control still shown (WelcomeScreen::refresh).
    if (QWidget *focused = QApplication::focusWidget(); focused && isAncestorOf(focused))
        focused->clearFocus();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::a11y::setHidden(this);
    if (m_presence.target() == 0)
        deleteLater();
    else
        m_presence.animateTo(0, animation);
}

void PillContent::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutContent();
}

void PillContent::followPresence()
{
    const double shown = m_presence.value();
    if (m_leaving && shown <= 0) {
        deleteLater();
        return;
    }
    // Drawn through an effect only while partly shown: an effect renders off screen.
    if (shown >= 1) {
        setGraphicsEffect(nullptr);
        m_fade = nullptr;
        return;
    }
    if (!m_fade) {
        m_fade = new QGraphicsOpacityEffect(this);
        setGraphicsEffect(m_fade);
    }
    m_fade->setOpacity(std::max(0.0, shown));
}

} // namespace vantora
