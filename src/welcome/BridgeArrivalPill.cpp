#include "welcome/BridgeArrivalPill.h"

#include "welcome/ArrivalSpinner.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Interpolation.h"
#include "ui/ShadowUnderlay.h"
#include "ui/Shapes.h"
#include "ui/SystemFont.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace vantora {

namespace {

const ui::Animation stateChange = ui::Animation::spring(0.34, 0.9);
const ui::Animation reducedStateChange = ui::Animation::easeInOut(0.15);
constexpr qreal checkMarkLineWidth = 1.6;
constexpr qreal tintShadowOpacity = 0.1;

double connectednessOf(arrivalAppearance::State state)
{
    return state == arrivalAppearance::State::Connected ? 1 : 0;
}

ui::DropShadow tintShadow(const QColor &tint)
{
    QColor colour = tint;
    colour.setAlphaF(tintShadowOpacity);
    return {colour, 3, QPointF(0, 2)};
}

void paintCheckMark(QPainter &painter, const QRectF &box, const QColor &colour)
{
    QPainterPath mark;
    mark.moveTo(box.left() + 0.22 * box.width(), box.top() + 0.53 * box.height());
    mark.lineTo(box.left() + 0.42 * box.width(), box.top() + 0.73 * box.height());
    mark.lineTo(box.left() + 0.78 * box.width(), box.top() + 0.29 * box.height());
    painter.setPen(QPen(colour, checkMarkLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(mark);
}

} // namespace

BridgeArrivalPill::BridgeArrivalPill(State state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_spinner(new ArrivalSpinner({}, state == State::Loading ? Spinning::Running : Spinning::Stopped, this))
    , m_tintShadow(new ui::ShadowUnderlay(this, ui::shapes::capsule, {}))
    , m_connectedness(this, "connectedness", connectednessOf(state), [this] { followConnectedness(); })
{
    setObjectName(QStringLiteral("bridge-arrival-pill"));
    setFont(ui::systemFont(14, QFont::Medium));
    new ui::ShadowUnderlay(this, ui::shapes::capsule, {ui::colours::black(0.04), 1, QPointF(0, 1)});
    m_spinner->move(sidePadding, (pillHeight - indicatorSide) / 2);
    ui::a11y::setCombined(this, spokenLabel(state));
    // A status line, not a bare area.
    ui::a11y::setRole(this, QAccessible::StaticText);
    followConnectedness();
}

QString BridgeArrivalPill::spokenLabel(State state)
{
    return state == State::Loading ? tr("Loading lights from your Hue Bridge") : tr("Hue Bridge connected");
}

qreal BridgeArrivalPill::widthFor(qreal labelWidth)
{
    return sidePadding + indicatorSide + spacing + labelWidth + sidePadding;
}

void BridgeArrivalPill::apply(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_spinner->setSpinning(state == State::Loading ? Spinning::Running : Spinning::Stopped);
    ui::a11y::setCombined(this, spokenLabel(state));
    const ui::Animation animation = ui::reduceMotion(this) ? reducedStateChange : stateChange;
    m_connectedness.animateTo(connectednessOf(state), animation, ui::UnderReduceMotion::Keep);
}

QRectF BridgeArrivalPill::labelFrame() const
{
    const qreal width = ui::interpolate(arrivalAppearance::labelWidth(State::Loading),
                                        arrivalAppearance::labelWidth(State::Connected), m_connectedness.value());
    return {sidePadding + indicatorSide + spacing, (pillHeight - labelHeight) / 2.0, width, labelHeight};
}

void BridgeArrivalPill::followConnectedness()
{
    setFixedSize(qRound(widthFor(labelFrame().width())), pillHeight);
    // The spinner fades with the colour it is drawn in.
    const double spinnerOpacity = std::clamp(1 - m_connectedness.value(), 0.0, 1.0);
    const auto spinnerColour = [&](ui::ColorScheme scheme) {
        QColor colour = arrivalAppearance::blended(m_connectedness.value(), scheme).tint;
        colour.setAlphaF(spinnerOpacity);
        return colour;
    };
    m_spinner->setColour({spinnerColour(ui::ColorScheme::Light), spinnerColour(ui::ColorScheme::Dark)});
    applyShadows();
    update();
}

void BridgeArrivalPill::applyShadows()
{
    m_tintShadow->setShadow(tintShadow(arrivalAppearance::blended(m_connectedness.value(), ui::colorScheme(this)).tint));
}

bool BridgeArrivalPill::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        applyShadows();
    return QWidget::event(event);
}

void BridgeArrivalPill::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double connected = std::clamp(m_connectedness.value(), 0.0, 1.0);
    const arrivalAppearance::Colours colours = arrivalAppearance::blended(connected, ui::colorScheme(this));
    const QRectF capsule = rect();

    painter.fillPath(ui::shapes::roundedRect(capsule, ui::shapes::capsule),
                     ui::shapes::verticalGradient(capsule, {colours.backgroundTop, colours.backgroundBottom}));
    ui::shapes::strokeInside(painter, capsule, ui::shapes::capsule, 1,
                             ui::shapes::verticalGradient(capsule, {colours.rimTop, colours.rimMiddle, colours.rimBottom}));

    if (connected > 0) {
        painter.setOpacity(connected);
        paintCheckMark(painter, QRectF(sidePadding, (pillHeight - indicatorSide) / 2.0, indicatorSide, indicatorSide),
                       colours.tint);
    }

    const QRectF label = labelFrame();
    painter.setClipRect(label);
    painter.setFont(font());
    painter.setPen(colours.tint);
    for (const State shown : {State::Loading, State::Connected}) {
        const double opacity = shown == State::Connected ? connected : 1 - connected;
        if (opacity <= 0)
            continue;
        painter.setOpacity(opacity);
        painter.drawText(QRectF(label.left(), label.top(), arrivalAppearance::labelWidth(shown) + 1, label.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, arrivalAppearance::text(shown));
    }
}

} // namespace vantora
