#include "controls/RoomEdgeSlider.h"

#include "controls/EdgeSliderGeometry.h"
#include "controls/FocusRing.h"
#include "controls/Readouts.h"
#include "controls/TogglePalette.h"

#include "store/ToggleAppearance.h"
#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/EnvironmentKeys.h"
#include "ui/HoverTracker.h"
#include "ui/LightCardSurface.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vantora::controls {

namespace geometry = edgeSliderGeometry;

namespace {

constexpr double spacing = 6;
constexpr double percentageHeight = 14;
constexpr double cornerRadius = 8;
const ui::Animation stateAnimation = ui::Animation::easeOut(0.15);
const ui::Animation colourAnimation = ui::Animation::easeOut(0.18);

// Filled like a light toggle that is on, in the user's toggle colour.
const std::array<QColor, 2> &gradientOf(const ToggleAppearance *appearance)
{
    return togglePalette(appearance ? appearance->color() : ToggleColor::amber).toggleGradient;
}

} // namespace

RoomEdgeSlider::RoomEdgeSlider(ToggleAppearance *appearance, QWidget *parent)
    : QWidget(parent)
    , m_card(new ui::LightCardSurface(cornerRadius, this))
    , m_track(new RoomEdgeTrack(this, appearance, m_card->content()))
    , m_percentageHide(this, percentageHideDelay, [this] {
        if (!m_dragging)
            setShowsPercentage(false);
    })
{
    m_card->setGeometry(0, 0, int(geometry::trackWidth), int(geometry::trackHeight));
    m_card->content()->setMinimumSize(int(geometry::trackWidth), int(geometry::trackHeight));
    m_track->setGeometry(0, 0, int(geometry::trackWidth), int(geometry::trackHeight));
    setFixedSize(sizeHint());
    setFocusProxy(m_track);
}

QSize RoomEdgeSlider::sizeHint() const
{
    return {int(geometry::trackWidth), int(geometry::trackHeight + spacing + percentageHeight)};
}

void RoomEdgeSlider::setValue(double value)
{
    if (value == m_value)
        return;
    m_value = value;
    m_track->update();
    update();
}

void RoomEdgeSlider::setRange(ValueRange range)
{
    m_range = range;
    m_track->update();
}

void RoomEdgeSlider::setLabel(const QString &label) { m_label = label; }

QString RoomEdgeSlider::percentageText() const
{
    return geometry::percentageText(m_value, isEnabled());
}

void RoomEdgeSlider::write(double value)
{
    m_value = value;
    m_track->update();
    update();
    announceSliderValue(m_track, value);
    Q_EMIT valueEdited(value);
}

void RoomEdgeSlider::setShowsPercentage(bool shows)
{
    if (shows == m_showsPercentage)
        return;
    m_showsPercentage = shows;
    update();
}

void RoomEdgeSlider::dragTo(double y)
{
    if (!isEnabled())
        return;
    if (!m_dragging) {
        m_percentageHide.cancel();
        setShowsPercentage(true);
        m_dragging = true;
        m_track->followState();
        Q_EMIT editingChanged(true);
    }
    write(geometry::valueAt(y, m_range));
}

void RoomEdgeSlider::endDrag()
{
    m_dragging = false;
    m_track->followState();
    Q_EMIT editingChanged(false);
    m_percentageHide.schedule();
}

bool RoomEdgeSlider::step(SliderStep step)
{
    if (!isEnabled())
        return false;
    // A point per arrow, as the room's other sliders step; the rest as a light's slider.
    switch (step) {
    case SliderStep::Down:
    case SliderStep::Up:
        write(geometry::stepped(m_value, step == SliderStep::Up ? 1.0 : -1.0, m_range));
        break;
    default:
        write(sliderStepped(m_value, m_range, step));
        break;
    }
    setShowsPercentage(true);
    m_percentageHide.schedule();
    return true;
}

void RoomEdgeSlider::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        // A disabled widget gets no more pointer events, so the drag ends here.
        if (m_dragging)
            endDrag();
        m_percentageHide.cancel();
        setShowsPercentage(false);
        m_track->followState();
        update();
    }
    QWidget::changeEvent(event);
}

void RoomEdgeSlider::hideEvent(QHideEvent *event)
{
    if (m_dragging) {
        m_dragging = false;
        m_track->followState();
        Q_EMIT editingChanged(false);
    }
    m_percentageHide.cancel();
    QWidget::hideEvent(event);
}

void RoomEdgeSlider::paintEvent(QPaintEvent *)
{
    if (!(m_showsPercentage && isEnabled()))
        return;
    QPainter painter(this);
    painter.setFont(ui::systemFont(10, QFont::Medium));
    painter.setPen(ui::systemColours::secondary().resolve(ui::colorScheme(this)));
    const QRectF line(0, geometry::trackHeight + spacing, geometry::trackWidth, percentageHeight);
    painter.drawText(line, Qt::AlignCenter | Qt::TextSingleLine, percentageText());
}

RoomEdgeTrack::RoomEdgeTrack(RoomEdgeSlider *slider, ToggleAppearance *appearance, QWidget *parent)
    : QWidget(parent)
    , m_slider(slider)
    , m_appearance(appearance)
    , m_hoverTracker(new ui::HoverTracker(this))
    , m_tickOpacity(this, "tickOpacity", 0.055)
    , m_knobWidth(this, "knobWidth", 16.0)
    , m_fillTop(this, "fillTop", gradientOf(appearance)[0])
    , m_fillBottom(this, "fillBottom", gradientOf(appearance)[1])
{
    installAccessibleSliderFactory();
    setFocusPolicy(Qt::StrongFocus);
    connect(m_hoverTracker, &ui::HoverTracker::hoveredChanged, this, [this] { followState(); });
    if (appearance)
        connect(appearance, &ToggleAppearance::colorChanged, this, [this] { followColour(); });
}

void RoomEdgeTrack::followState()
{
    const bool lively = m_hoverTracker->isHovered() || m_slider->isDragging();
    m_tickOpacity.animateTo(lively ? 0.13 : 0.055, stateAnimation);
    m_knobWidth.animateTo(m_slider->isDragging() ? 20.0 : 16.0, stateAnimation);
    update();
}

void RoomEdgeTrack::followColour()
{
    const auto colours = gradientOf(m_appearance);
    m_fillTop.animateTo(colours[0], colourAnimation);
    m_fillBottom.animateTo(colours[1], colourAnimation);
}

double RoomEdgeTrack::accessibleValue() const { return m_slider->value(); }
ValueRange RoomEdgeTrack::accessibleRange() const { return m_slider->range(); }
QString RoomEdgeTrack::accessibleLabel() const { return m_slider->m_label; }

QString RoomEdgeTrack::accessibleValueText() const
{
    if (!m_slider->isEnabled())
        return tr("No lights are on");
    return readouts::percentWord(m_slider->value());
}

void RoomEdgeTrack::setValueFromAccessibility(double value)
{
    if (!m_slider->isEnabled())
        return;
    m_slider->write(m_slider->range().clamp(value));
}

void RoomEdgeTrack::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = event->reason() != Qt::MouseFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void RoomEdgeTrack::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

void RoomEdgeTrack::mousePressEvent(QMouseEvent *event)
{
    m_keyboardFocus = false;
    if (event->button() == Qt::LeftButton)
        m_slider->dragTo(event->position().y());
    update();
}

void RoomEdgeTrack::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        m_slider->dragTo(event->position().y());
}

void RoomEdgeTrack::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_slider->endDrag();
}

void RoomEdgeTrack::keyPressEvent(QKeyEvent *event)
{
    if (const std::optional<SliderStep> step = sliderStepForKey(event->key()); step && m_slider->step(*step)) {
        m_keyboardFocus = true;
        update();
        announceSteppedValue(this);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RoomEdgeTrack::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (isEnabled())
        setFocus(Qt::OtherFocusReason);
}

void RoomEdgeTrack::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool enabled = m_slider->isEnabled();
    painter.setOpacity(enabled ? 1.0 : 0.4);
    const double height = geometry::trackHeight;
    const double centreX = geometry::trackWidth / 2;
    const double fraction = geometry::fraction(m_slider->value(), m_slider->range());
    const double level = geometry::fillHeight(fraction);

    // The card clips its content with a mask, which has hard edges; rounding the fill's own
    // corners keeps the bottom smooth.
    const QRectF fill(0, height - level, geometry::trackWidth, level);
    painter.save();
    painter.setClipRect(fill);
    painter.fillPath(ui::shapes::roundedRect(QRectF(rect()), cornerRadius),
                     ui::shapes::verticalGradient(fill, {m_fillTop.value(), m_fillBottom.value()}));
    painter.restore();

    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    QColor tick = dark ? ui::colours::white() : ui::colours::grey(0.22);
    tick.setAlphaF(m_tickOpacity.value());
    for (int i = 0; i < geometry::tickCount; ++i) {
        const double width = geometry::tickWidth(i);
        const QRectF mark(centreX - width / 2, height - geometry::tickBottom(i) - 1, width, 1);
        painter.fillPath(ui::shapes::roundedRect(mark, ui::shapes::capsule), tick);
    }

    const double knobWidth = m_knobWidth.value();
    const QRectF knob(centreX - knobWidth / 2, height - level - 1.5, knobWidth, 3);
    ui::DropShadow{ui::colours::black(0.2), 0.5, {0, 0.5}}.paintUnderRoundedRect(painter, knob, ui::shapes::capsule);
    painter.fillPath(ui::shapes::roundedRect(knob, ui::shapes::capsule), ui::colours::white(enabled ? 0.95 : 0.3));
    if (showsFocusRing()) {
        painter.setOpacity(1);
        focusRing::paint(painter, this, QRectF(rect()), cornerRadius);
    }
}

} // namespace vantora::controls
