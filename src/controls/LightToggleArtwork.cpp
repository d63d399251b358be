#include "controls/LightToggleArtwork.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"

#include <QEvent>
#include <QPainter>

namespace vantora {

namespace {

// The frames callers give the artwork: the toggle's 60 × 44 button, the 46 × 44 swatch.
constexpr QSize toggleFrame{60, 44};
constexpr QSize swatchFrame{46, 44};

} // namespace

LightToggleArtwork::LightToggleArtwork(QWidget *parent)
    : QWidget(parent)
    , m_shownLook(currentLook())
    , m_visual(this, "toggleVisual", ToggleVisual::of(m_shownLook))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::a11y::setHidden(this);
    followAppearance();
}

ToggleColor LightToggleArtwork::resolvedColor() const
{
    if (m_fields.color)
        return *m_fields.color;
    return m_appearance ? m_appearance->color() : ToggleColor::amber;
}

ToggleLook LightToggleArtwork::currentLook() const
{
    return {m_fields.isOn, m_fields.isUnavailable, resolvedColor(), m_fields.isSwatch, ui::colorScheme(this)};
}

void LightToggleArtwork::apply(const Fields &fields)
{
    if (fields == m_fields)
        return;
    const bool resized = fields.isSwatch != m_fields.isSwatch;
    m_fields = fields;
    if (resized)
        updateGeometry();
    refresh();
}

void LightToggleArtwork::refresh()
{
    const ToggleLook look = currentLook();
    if (look == m_shownLook)
        return;
    const ToggleLook before = std::exchange(m_shownLook, look);
    if (before.scheme != look.scheme || before.isSwatch != look.isSwatch)
        m_visual.setImmediately(ToggleVisual::of(look));
    else
        m_visual.animateTo(ToggleVisual::of(look), toggleAnimation(before, look));
}

void LightToggleArtwork::followAppearance()
{
    const QPointer<ToggleAppearance> appearance = ui::Environment::of(this).value(toggleAppearanceKey);
    if (appearance == m_appearance)
        return;
    disconnect(m_appearanceConnection);
    m_appearance = appearance;
    if (appearance)
        m_appearanceConnection = connect(appearance, &ToggleAppearance::colorChanged, this, &LightToggleArtwork::refresh);
    refresh();
}

QSize LightToggleArtwork::sizeHint() const
{
    return m_fields.isSwatch ? swatchFrame : toggleFrame;
}

bool LightToggleArtwork::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType()) {
        const auto &key = static_cast<ui::EnvironmentChangeEvent *>(event)->key();
        if (key == toggleAppearanceKey.name())
            followAppearance();
        else if (key == ui::colorSchemeKey.name())
            refresh();
    } else if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) {
        // A page built apart and placed later moves the artwork without telling it; it is
        // shown again in its new surroundings.
        followAppearance();
        refresh();
    }
    return QWidget::event(event);
}

void LightToggleArtwork::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const ToggleVisual &visual = m_visual.value();
    const QPointF origin((width() - visual.track.width()) / 2, (height() - visual.track.height()) / 2);
    paintToggle(painter, origin, visual);
}

} // namespace vantora
