#include "controls/ToggleVisual.h"

#include "controls/TogglePalette.h"
#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/GroupLayer.h"
#include "ui/Interpolation.h"
#include "ui/Shapes.h"

#include <QPainter>

namespace vantora {

namespace {

constexpr QSizeF trackSize{52, 24};
constexpr QSizeF swatchSize{30, 24};
constexpr qreal knobHeight = 18;
constexpr qreal knobTravel = 8;
constexpr qreal trackRimWidth = 1;
const ui::DropShadow glowShape{QColor(), 4, QPointF(0, 1)};

template <std::size_t N>
std::array<QColor, N> mix(const std::array<QColor, N> &from, const std::array<QColor, N> &to, double progress)
{
    std::array<QColor, N> mixed;
    for (std::size_t index = 0; index < N; ++index)
        mixed[index] = ui::interpolate(from[index], to[index], progress);
    return mixed;
}

template <std::size_t N>
QLinearGradient gradient(const QRectF &rect, const std::array<QColor, N> &colours)
{
    QLinearGradient result(rect.topLeft(), rect.bottomLeft());
    for (std::size_t index = 0; index < N; ++index)
        result.setColorAt(N == 1 ? 0 : qreal(index) / (N - 1), colours[index]);
    return result;
}

QColor withAlpha(QColor colour, qreal alpha)
{
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

} // namespace

ToggleVisual ToggleVisual::of(const ToggleLook &look)
{
    const TogglePalette &accent = togglePalette(look.color);
    const NeutralTogglePalette neutral = neutralTogglePalette(look.scheme);
    const bool active = look.isActive();

    ToggleVisual visual;
    visual.track = look.isSwatch ? swatchSize : trackSize;
    visual.trackBase = neutral.trackBase;
    visual.activeTrack = accent.toggleGradient;
    visual.activeTrackOpacity = active ? 1 : 0;
    visual.trackRim = active ? accent.trackRimGradient : neutral.trackRim;

    const qreal knobWidth = look.isSwatch ? 24 : look.isResting() ? 30 : 28;
    const qreal shift = look.isSwatch ? 0 : active ? knobTravel : -knobTravel;
    const QPointF centre(visual.track.width() / 2 + shift, visual.track.height() / 2);
    visual.knob = QRectF(centre - QPointF(knobWidth / 2, knobHeight / 2), QSizeF(knobWidth, knobHeight));
    visual.knobFill = active ? accent.knobFillGradient : neutral.knobFill;
    const QColor middleGrey = look.isResting() ? ui::colours::grey255(193) : ui::colours::grey(0.88);
    visual.knobRim = active ? accent.knobRimGradient
                            : std::array<QColor, 3>{ui::colours::white(), middleGrey, ui::colours::white()};
    visual.knobRimWidth = look.isResting() ? 1 : 0.75;
    visual.knobShadowOpacity = active ? 0.08 : 0.1;
    visual.glow = withAlpha(accent.glowColor, active ? 0.3 : 0);
    visual.opacity = look.isUnavailable ? 0.5 : 1;
    return visual;
}

ToggleVisual interpolate(const ToggleVisual &from, const ToggleVisual &to, double progress)
{
    ToggleVisual mixed;
    mixed.track = ui::interpolate(from.track, to.track, progress);
    mixed.trackBase = mix(from.trackBase, to.trackBase, progress);
    mixed.activeTrack = mix(from.activeTrack, to.activeTrack, progress);
    mixed.activeTrackOpacity = std::clamp(ui::interpolate(from.activeTrackOpacity, to.activeTrackOpacity, progress), 0.0, 1.0);
    mixed.trackRim = mix(from.trackRim, to.trackRim, progress);
    mixed.knob = ui::interpolate(from.knob, to.knob, progress);
    mixed.knobFill = mix(from.knobFill, to.knobFill, progress);
    mixed.knobRim = mix(from.knobRim, to.knobRim, progress);
    mixed.knobRimWidth = ui::interpolate(from.knobRimWidth, to.knobRimWidth, progress);
    mixed.knobShadowOpacity = ui::interpolate(from.knobShadowOpacity, to.knobShadowOpacity, progress);
    mixed.glow = ui::interpolate(from.glow, to.glow, progress);
    mixed.opacity = std::clamp(ui::interpolate(from.opacity, to.opacity, progress), 0.0, 1.0);
    return mixed;
}

ui::Animation toggleAnimation(const ToggleLook &before, const ToggleLook &after)
{
    if (before.isActive() != after.isActive())
        return ui::Animation::easeInOut(0.18);
    if (before.color != after.color)
        return ui::Animation::easeInOut(0.22);
    if (before.isUnavailable != after.isUnavailable)
        return ui::Animation::easeOut(0.15);
    return ui::Animation::none();
}

void paintToggle(QPainter &painter, QPointF origin, const ToggleVisual &visual)
{
    const QRectF track(origin, visual.track);
    const qreal reach = glowShape.reach() + 1;
    ui::paintGroup(painter, track.adjusted(-reach, -reach, reach, reach), visual.opacity, [&](QPainter &group) {
        group.setRenderHint(QPainter::Antialiasing);
        if (visual.glow.alphaF() > 0) {
            ui::DropShadow glow = glowShape;
            glow.colour = visual.glow;
            glow.paintUnderRoundedRect(group, track, ui::shapes::capsule);
        }
        const QPainterPath capsule = ui::shapes::roundedRect(track, ui::shapes::capsule);
        group.fillPath(capsule, gradient(track, visual.trackBase));
        if (visual.activeTrackOpacity > 0) {
            group.save();
            group.setOpacity(visual.activeTrackOpacity);
            group.fillPath(capsule, gradient(track, visual.activeTrack));
            group.restore();
        }
        ui::shapes::strokeInside(group, track, ui::shapes::capsule, trackRimWidth, gradient(track, visual.trackRim));

        const QRectF knob = visual.knob.translated(origin);
        const ui::DropShadow knobShadow{ui::colours::black(visual.knobShadowOpacity), 1, QPointF(0, 0.5)};
        knobShadow.paintUnderRoundedRect(group, knob, ui::shapes::capsule);
        group.fillPath(ui::shapes::roundedRect(knob, ui::shapes::capsule), gradient(knob, visual.knobFill));
        ui::shapes::strokeInside(group, knob, ui::shapes::capsule, visual.knobRimWidth, gradient(knob, visual.knobRim));
    });
}

} // namespace vantora
