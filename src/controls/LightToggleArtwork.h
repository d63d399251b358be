#pragma once

#include "controls/ToggleVisual.h"
#include "store/ToggleAppearance.h"
#include "ui/AnimatedValue.h"
#include "ui/Environment.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace vantora {

// The shared accent-colour setting that toggles without a colour of their own draw with. The
// application sets it on the root scope; without it toggles are amber.
inline const ui::EnvironmentKey<QPointer<ToggleAppearance>> toggleAppearanceKey{"toggleAppearance", nullptr};

// The drawing of a light's on/off toggle: a capsule track with a sliding knob, in the accent
// colour while on, in greys while off, dimmed while the light cannot be reached (whose knob
// then always rests on the off side). Drawn centred in the widget; the widget leaves room
// around the artwork for its glow. Hidden from accessibility and transparent to the mouse:
// whoever shows it presents the control.
//
// Changes move: a new on/off look over 0.18 s, a new accent colour over 0.22 s, a new
// availability over 0.15 s (the first that applies decides when several change at once);
// at once under Reduce Motion and for a new colour scheme.
class LightToggleArtwork final : public QWidget {
    Q_OBJECT
public:
    struct Fields final {
        bool isOn = false;
        bool isUnavailable = false;
        // Absent: the shared accent colour, followed as it changes.
        std::optional<ToggleColor> color;
        bool isSwatch = false;

        friend bool operator==(const Fields &, const Fields &) = default;
    };

    explicit LightToggleArtwork(QWidget *parent = nullptr);

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }
    ToggleColor resolvedColor() const;
    // What is on screen now (part of the way while a change moves).
    const ToggleVisual &presentedVisual() const { return m_visual.value(); }

    QSize sizeHint() const override;
    // The artwork and its glow need the whole frame.
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void followAppearance();
    ToggleLook currentLook() const;
    // Moves to the look the fields, the accent colour and the scheme give now.
    void refresh();

    Fields m_fields;
    QPointer<ToggleAppearance> m_appearance;
    QMetaObject::Connection m_appearanceConnection;
    ToggleLook m_shownLook;
    ui::AnimatedValue<ToggleVisual> m_visual;
};

} // namespace vantora
