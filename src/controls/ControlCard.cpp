#include "controls/ControlCard.h"

#include "ui/LightCardSurface.h"

#include <QGraphicsOpacityEffect>
#include <QVBoxLayout>

namespace vantora::controls {

ControlCard::ControlCard(QWidget *parent)
    : QWidget(parent)
    , m_surface(new ui::LightCardSurface(cornerRadius, this))
    , m_body(new QWidget(m_surface->content()))
    , m_layout(new QVBoxLayout(m_body))
    , m_effect(new QGraphicsOpacityEffect(m_body))
    , m_opacity(this, "bodyOpacity", 1.0, [this] { m_effect->setOpacity(m_opacity.value()); })
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_surface);
    auto *content = new QVBoxLayout(m_surface->content());
    content->setContentsMargins(0, 0, 0, 0);
    content->addWidget(m_body);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_effect->setOpacity(1.0);
    // Fully opaque, the effect would only cost a render pass.
    m_effect->setEnabled(false);
    m_body->setGraphicsEffect(m_effect);
}

void ControlCard::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    m_body->setEnabled(!locked);
    m_effect->setEnabled(true);
    m_opacity.animateTo(locked ? lockedOpacity : 1.0, ui::Animation::easeOut(0.15));
}

} // namespace vantora::controls
