#include "controls/RoomActionButton.h"

#include "controls/FocusRing.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/HoverTracker.h"
#include "ui/Interpolation.h"
#include "ui/PlainToolTip.h"
#include "ui/Shapes.h"
#include "ui/SvgImage.h"

#include <QPainter>

namespace vantora::controls {

namespace {

const QSize buttonSize(40, 30);
const ui::Animation hoverAnimation = ui::Animation::easeInOut(0.16);

enum class Layer { Default, Hover, Active };

// Each layer has a variant drawn for the dark surfaces.
ui::Image layerImage(RoomActionButton::Kind kind, Layer layer, ui::ColorScheme scheme)
{
    using ui::Image;
    const bool dark = scheme == ui::ColorScheme::Dark;
    const bool heart = kind == RoomActionButton::Kind::Heart;
    switch (layer) {
    case Layer::Default:
        return heart ? (dark ? Image::RoomHeartDefaultDark : Image::RoomHeartDefault)
                     : (dark ? Image::RoomPowerDefaultDark : Image::RoomPowerDefault);
    case Layer::Hover:
        return heart ? (dark ? Image::RoomHeartHoverDark : Image::RoomHeartHover)
                     : (dark ? Image::RoomPowerHoverDark : Image::RoomPowerHover);
    case Layer::Active:
        return heart ? (dark ? Image::RoomHeartActiveDark : Image::RoomHeartActive)
                     : (dark ? Image::RoomPowerActiveDark : Image::RoomPowerActive);
    }
    return Image::RoomPowerDefault;
}

} // namespace

QString RoomActionButton::rawValue(Kind kind)
{
    return kind == Kind::Heart ? QStringLiteral("RoomHeart") : QStringLiteral("RoomPower");
}

std::optional<RoomActionButton::Kind> RoomActionButton::fromRawValue(QStringView text)
{
    for (const Kind kind : {Kind::Heart, Kind::Power}) {
        if (text == rawValue(kind))
            return kind;
    }
    return std::nullopt;
}

RoomActionButton::Layers RoomActionButton::layers(bool active, double hoverAmount)
{
    const Layers resting = active ? Layers{0, 0, 0, 1} : Layers{0, 1, 0, 0};
    const Layers hovered = active ? Layers{1, 0, 0, 1} : Layers{0, 0, 1, 0};
    const auto between = [hoverAmount](double from, double to) { return ui::interpolate(from, to, hoverAmount); };
    return {between(resting.backdrop, hovered.backdrop), between(resting.defaultImage, hovered.defaultImage),
            between(resting.hoverImage, hovered.hoverImage), between(resting.activeImage, hovered.activeImage)};
}

RoomActionButton::RoomActionButton(Kind kind, QWidget *parent)
    : QAbstractButton(parent)
    , m_kind(kind)
    , m_hoverTracker(new ui::HoverTracker(this))
    , m_hover(this, "hover", 0.0)
{
    installAccessibleButtonFactory();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    connect(m_hoverTracker, &ui::HoverTracker::hoveredChanged, this, [this] { followHover(); });
}

void RoomActionButton::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    announceCheckedChange(this);
    update();
}

void RoomActionButton::setLabel(const QString &label) { ui::a11y::setName(this, label); }
void RoomActionButton::setHelp(const QString &help) { ui::setPlainToolTip(*this, help); }

RoomActionButton::Layers RoomActionButton::currentLayers() const
{
    return layers(m_active, isEnabled() ? m_hover.value() : 0.0);
}

QString RoomActionButton::accessibleValueText() const
{
    return {};
}

std::optional<bool> RoomActionButton::accessibleChecked() const
{
    return m_active;
}

QSize RoomActionButton::sizeHint() const { return buttonSize; }

bool RoomActionButton::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        update();
    return QAbstractButton::event(event);
}

void RoomActionButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        followHover();
    QAbstractButton::changeEvent(event);
}

void RoomActionButton::followHover()
{
    m_hover.animateTo(m_hoverTracker->isHovered() && isEnabled() ? 1.0 : 0.0, hoverAnimation);
}

bool RoomActionButton::hitButton(const QPoint &position) const
{
    return ui::shapes::roundedRect(rect(), ui::shapes::capsule).contains(position);
}

void RoomActionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(QPointF(0, 0), QSizeF(buttonSize));
    const Layers shown = currentLayers();
    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    if (shown.backdrop > 0) {
        const QColor backdrop = dark ? ui::colours::white(0.1) : ui::colours::grey(0.3, 0.1);
        painter.setOpacity(shown.backdrop);
        painter.fillPath(ui::shapes::roundedRect(frame, ui::shapes::capsule), backdrop);
    }
    const std::pair<Layer, double> images[] = {
        {Layer::Default, shown.defaultImage},
        {Layer::Hover, shown.hoverImage},
        {Layer::Active, shown.activeImage},
    };
    for (const auto &[layer, opacity] : images) {
        if (opacity <= 0)
            continue;
        painter.setOpacity(opacity);
        const ui::SvgImage image(layerImage(m_kind, layer, ui::colorScheme(this)));
        painter.drawImage(frame, image.render(frame.size(), devicePixelRatioF()));
    }
    // Buttons take focus by keyboard only, so focus always shows.
    if (hasFocus()) {
        painter.setOpacity(1);
        focusRing::paint(painter, this, frame, ui::shapes::capsule);
    }
}

} // namespace vantora::controls
