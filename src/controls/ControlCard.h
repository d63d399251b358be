#pragma once

#include "ui/AnimatedValue.h"

#include <QWidget>

class QGraphicsOpacityEffect;
class QVBoxLayout;

namespace vantora::ui {
class LightCardSurface;
} // namespace vantora::ui

namespace vantora::controls {

// The frame of each of the light page's cards: the shared card surface with corner radius
// 12 around a body whose controls are locked while the light cannot be adjusted. Locked,
// the body is disabled (its controls read as disabled and take no clicks, keys or focus) and
// fades to 40 % over 0.15 s, at once under Reduce Motion, while the surface keeps its full
// strength.
class ControlCard final : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal cornerRadius = 12;
    static constexpr qreal lockedOpacity = 0.4;

    explicit ControlCard(QWidget *parent = nullptr);

    // Where the card's rows go, top to bottom, with no spacing between them.
    QVBoxLayout *body() const noexcept { return m_layout; }
    QWidget *bodyWidget() const noexcept { return m_body; }

    void setLocked(bool locked);
    bool isLocked() const noexcept { return m_locked; }
    // The body's opacity as drawn now.
    qreal bodyOpacity() const { return m_opacity.value(); }

private:
    ui::LightCardSurface *m_surface;
    QWidget *m_body;
    QVBoxLayout *m_layout;
    QGraphicsOpacityEffect *m_effect;
    bool m_locked = false;
    ui::AnimatedValue<double> m_opacity;
};

} // namespace vantora::controls
