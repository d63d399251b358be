#include "controls/LightValueSlider.h"

#include "controls/FocusRing.h"

#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/Shapes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vantora::controls {

namespace {

const ui::Animation knobSpring = ui::Animation::spring(0.22, 0.85);

QColor warmFillEnd() { return QColor(255, 196, 48); }
QColor fillGlow() { return QColor::fromRgbF(253 / 255.0, 185 / 255.0, 38 / 255.0, 0.3); }

} // namespace

LightValueSlider::LightValueSlider(SliderSize size, SliderOrientation orientation, QWidget *parent)
    : QWidget(parent)
    , m_geometry(SliderGeometry::of(size))
    , m_orientation(orientation)
    , m_knobScale(this, "knobScale", 1.0)
{
    installAccessibleSliderFactory();
    setFocusPolicy(Qt::StrongFocus);
    setContentsMargins(QMargins(1, 1, 1, 1) * static_cast<int>(focusRing::outset));
    if (orientation == SliderOrientation::Horizontal)
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void LightValueSlider::setValue(double value)
{
    if (value == m_value)
        return;
    m_value = value;
    update();
    announceSliderValue(this, value);
}

void LightValueSlider::setRange(ValueRange range)
{
    if (range == m_range)
        return;
    m_range = range;
    update();
}

void LightValueSlider::setLabel(const QString &label) { m_label = label; }
void LightValueSlider::setValueLabel(const QString &valueLabel) { m_valueLabel = valueLabel; }
void LightValueSlider::setAccessibleStep(double step) { m_accessibleStep = step; }

void LightValueSlider::setColours(std::vector<ui::DynamicColor> colours)
{
    m_colours = std::move(colours);
    update();
}

void LightValueSlider::setFill(std::optional<ui::DynamicColor> fill)
{
    m_fill = std::move(fill);
    update();
}

QRectF LightValueSlider::sliderRect() const { return QRectF(contentsRect()); }

QSize LightValueSlider::sizeHint() const
{
    const int thickness = static_cast<int>(m_geometry.thickness + 2 * focusRing::outset);
    const int length = 200;
    return m_orientation == SliderOrientation::Horizontal ? QSize(length, thickness) : QSize(thickness, length);
}

QSize LightValueSlider::minimumSizeHint() const
{
    const int thickness = static_cast<int>(m_geometry.thickness + 2 * focusRing::outset);
    const int length = static_cast<int>(2 * (m_geometry.trackInset + focusRing::outset));
    return m_orientation == SliderOrientation::Horizontal ? QSize(length, thickness) : QSize(thickness, length);
}

double LightValueSlider::trackLength() const
{
    const QRectF slider = sliderRect();
    return m_orientation == SliderOrientation::Horizontal ? slider.width() : slider.height();
}

double LightValueSlider::positionAlongTrack(const QPointF &point) const
{
    const QRectF slider = sliderRect();
    if (m_orientation == SliderOrientation::Horizontal)
        return point.x() - slider.left();
    return slider.bottom() - point.y();
}

void LightValueSlider::write(double value)
{
    m_value = value;
    update();
    announceSliderValue(this, value);
    Q_EMIT valueEdited(value);
}

void LightValueSlider::setValueFromAccessibility(double value)
{
    if (!isEnabled())
        return;
    // Assistive technologies may send any number; the owner takes only values of the range.
    write(m_range.clamp(value));
}

void LightValueSlider::dragTo(const QPointF &point)
{
    if (!isEnabled())
        return;
    m_keyboardFocus = false;
    if (!m_dragging) {
        m_dragging = true;
        m_knobScale.animateTo(m_geometry.knobScaleWhileDragging, knobSpring);
        Q_EMIT editingChanged(true);
    }
    const double fraction = m_geometry.fractionAt(positionAlongTrack(point), trackLength());
    write(sliderValueAt(fraction, m_range));
}

void LightValueSlider::endDrag()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_knobScale.animateTo(1.0, knobSpring);
    Q_EMIT editingChanged(false);
}

void LightValueSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragTo(event->position());
}

void LightValueSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        dragTo(event->position());
}

void LightValueSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        endDrag();
}

void LightValueSlider::keyPressEvent(QKeyEvent *event)
{
    // An upright slider's holder steps it by Up and Down in its own way.
    const bool heldByHolder = m_orientation == SliderOrientation::Vertical
        && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down);
    const std::optional<SliderStep> step = sliderStepForKey(event->key());
    if (!isEnabled() || !step || heldByHolder) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_keyboardFocus = true;
    write(sliderStepped(m_value, m_range, *step));
    announceSteppedValue(this);
    event->accept();
}

void LightValueSlider::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = focusRing::cameByKeyboard(*event);
    update();
    QWidget::focusInEvent(event);
}

void LightValueSlider::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

void LightValueSlider::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        endDrag();
    QWidget::changeEvent(event);
}

void LightValueSlider::hideEvent(QHideEvent *event)
{
    endDrag();
    QWidget::hideEvent(event);
}

void LightValueSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF slider = sliderRect();
    const double length = trackLength();
    painter.save();
    // Everything is drawn as a horizontal slider; a vertical one is the same drawing turned
    // a quarter counter-clockwise, so its lower end is at the bottom.
    if (m_orientation == SliderOrientation::Horizontal) {
        painter.translate(slider.topLeft());
    } else {
        painter.translate(slider.bottomLeft());
        painter.rotate(-90);
    }
    paintTrack(painter, length);
    if (m_fill)
        paintFill(painter, length);
    paintKnob(painter, length);
    painter.restore();
    if (showsFocusRing())
        focusRing::paint(painter, this, QRectF(rect()));
}

void LightValueSlider::paintTrack(QPainter &painter, double length) const
{
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const double bar = m_geometry.trackBarThickness;
    const QRectF track(0, (m_geometry.thickness - bar) / 2, length, bar);
    QLinearGradient gradient(track.topLeft(), track.topRight());
    const auto count = static_cast<int>(m_colours.size());
    for (int i = 0; i < count; ++i)
        gradient.setColorAt(count == 1 ? 0.0 : double(i) / (count - 1), m_colours[i].resolve(scheme));
    if (count == 1)
        gradient.setColorAt(1.0, m_colours.front().resolve(scheme));
    painter.fillPath(ui::shapes::roundedRect(track, ui::shapes::capsule), gradient);
}

void LightValueSlider::paintFill(QPainter &painter, double length) const
{
    const double bar = m_geometry.trackBarThickness;
    const double width = sliderFraction(m_value, m_range) * m_geometry.trackLength(length) + m_geometry.trackInset;
    const QRectF fill(0, (m_geometry.thickness - bar) / 2, width, bar);
    ui::DropShadow{fillGlow(), m_geometry.fillGlowRadius, {}}.paintUnderRoundedRect(painter, fill, ui::shapes::capsule);
    const QColor start = m_fill->resolve(ui::colorScheme(this));
    painter.fillPath(ui::shapes::roundedRect(fill, ui::shapes::capsule),
                     ui::shapes::verticalGradient(fill, {start, warmFillEnd()}));
}

void LightValueSlider::paintKnob(QPainter &painter, double length) const
{
    const double centre = m_geometry.knobCentre(sliderFraction(m_value, m_range), length);
    const QSizeF size = m_geometry.knob * m_knobScale.value();
    const QRectF knob(centre - size.width() / 2, (m_geometry.thickness - size.height()) / 2, size.width(),
                      size.height());
    ui::DropShadow{ui::colours::black(0.12), 1, {0, 0.5}}.paintUnderRoundedRect(painter, knob, ui::shapes::capsule);
    painter.fillPath(ui::shapes::roundedRect(knob, ui::shapes::capsule),
                     ui::shapes::verticalGradient(knob, {ui::colours::white(), ui::colours::grey(0.97)}));
    ui::shapes::strokeInside(
        painter, knob, ui::shapes::capsule, 0.75,
        ui::shapes::verticalGradient(knob, {ui::colours::white(), ui::colours::grey(0.85), ui::colours::white()}));
}

} // namespace vantora::controls
