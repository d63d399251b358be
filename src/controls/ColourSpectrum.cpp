#include "controls/ColourSpectrum.h"

#include "controls/AccessibleSlider.h"
#include "controls/FocusRing.h"
#include "controls/SpectrumGeometry.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/Shapes.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <map>

namespace vantora::controls {

namespace geometry = spectrumGeometry;

namespace {

const ui::Animation markerSpring = ui::Animation::spring(0.22, 0.85);
constexpr double cornerRadius = 8;
constexpr double markerSize = 20;

QColor colourOf(double hue, double saturation)
{
    if (!std::isfinite(hue) || !std::isfinite(saturation))
        return QColor::fromHsvF(0, 0, 1);
    return QColor::fromHsvF(std::clamp(hue, 0.0, 1.0), std::clamp(saturation, 0.0, 1.0), 1.0);
}

// QAccessibleWidget is already an action interface; the field replaces its actions. Its
// value needs the text that names both axes: a reader gets that text alone (see
// AccessibleSlider.h), and moves the field by its actions.
class AccessibleSpectrum final : public QAccessibleWidget
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    ,
                                 public ValueTextAttribute
#endif
{
public:
    explicit AccessibleSpectrum(ColourSpectrum *spectrum)
        : QAccessibleWidget(spectrum, QAccessible::Slider)
    {
    }

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::AttributesInterface)
            return static_cast<QAccessibleAttributesInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
#endif

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return QCoreApplication::translate("ColourSpectrum", "Colour spectrum");
        case QAccessible::Value:
            return geometry::valueText(spectrum()->hue(), spectrum()->saturation());
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        case QAccessible::Description:
            // Read with the focus, in place of a value.
            return geometry::valueText(spectrum()->hue(), spectrum()->saturation());
#endif
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    QStringList actionNames() const override
    {
        if (!spectrum()->isEnabled())
            return {};
        return {increaseAction(), decreaseAction(), ColourSpectrum::moreSaturatedAction(),
                ColourSpectrum::lessSaturatedAction()};
    }

    QString localizedActionDescription(const QString &name) const override { return name; }
    void doAction(const QString &name) override { spectrum()->runAccessibilityAction(name); }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QString spokenValue() const override { return geometry::valueText(spectrum()->hue(), spectrum()->saturation()); }
#endif

    ColourSpectrum *spectrum() const { return static_cast<ColourSpectrum *>(widget()); }
};

QAccessibleInterface *spectrumFactory(const QString &, QObject *object)
{
    if (auto *spectrum = qobject_cast<ColourSpectrum *>(object))
        return new AccessibleSpectrum(spectrum);
    return nullptr;
}

} // namespace

ColourSpectrum::ColourSpectrum(QWidget *parent)
    : QWidget(parent)
    , m_markerScale(this, "markerScale", 1.0)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(spectrumFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::StrongFocus);
    setContentsMargins(QMargins(1, 1, 1, 1) * static_cast<int>(focusRing::outset));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QString ColourSpectrum::moreSaturatedAction() { return tr("More saturated"); }
QString ColourSpectrum::lessSaturatedAction() { return tr("Less saturated"); }

QSize ColourSpectrum::sizeHint() const
{
    const int margin = static_cast<int>(2 * focusRing::outset);
    return {200 + margin, 88 + margin};
}

QRectF ColourSpectrum::fieldRect() const { return QRectF(contentsRect()); }

void ColourSpectrum::setColour(double hue, double saturation)
{
    if (hue == m_hue && saturation == m_saturation)
        return;
    m_hue = hue;
    m_saturation = saturation;
    update();
}

void ColourSpectrum::write(double hue, double saturation)
{
    m_hue = hue;
    m_saturation = saturation;
    update();
    Q_EMIT edited();
}

void ColourSpectrum::runAccessibilityAction(const QString &name)
{
    if (!isEnabled())
        return;
    if (name == QAccessibleActionInterface::increaseAction())
        write(geometry::hueIncremented(m_hue), m_saturation);
    else if (name == QAccessibleActionInterface::decreaseAction())
        write(geometry::hueDecremented(m_hue), m_saturation);
    else if (name == moreSaturatedAction())
        write(m_hue, geometry::saturationRaised(m_saturation));
    else if (name == lessSaturatedAction())
        write(m_hue, geometry::saturationLowered(m_saturation));
}

void ColourSpectrum::dragTo(const QPointF &point)
{
    if (!isEnabled())
        return;
    m_keyboardFocus = false;
    if (!m_dragging) {
        m_dragging = true;
        m_markerScale.animateTo(1.3, markerSpring);
        Q_EMIT editingChanged(true);
    }
    const QRectF field = fieldRect();
    const QPointF local = point - field.topLeft();
    write(geometry::hueAt(local, field.size()), geometry::saturationAt(local, field.size()));
}

void ColourSpectrum::endDrag()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_markerScale.animateTo(1.0, markerSpring);
    Q_EMIT editingChanged(false);
}

void ColourSpectrum::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragTo(event->position());
}

void ColourSpectrum::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        dragTo(event->position());
}

void ColourSpectrum::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        endDrag();
}

void ColourSpectrum::keyPressEvent(QKeyEvent *event)
{
    if (!isEnabled()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const geometry::HueSaturation now{m_hue, m_saturation};
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        static const std::map<int, geometry::Step> steps{
            {Qt::Key_Left, geometry::Step::HueDown},
            {Qt::Key_Right, geometry::Step::HueUp},
            {Qt::Key_Up, geometry::Step::SaturationUp},
            {Qt::Key_Down, geometry::Step::SaturationDown},
        };
        m_keyboardFocus = true;
        const geometry::HueSaturation next = geometry::stepped(now, steps.at(event->key()));
        write(next.hue, next.saturation);
        break;
    }
    case Qt::Key_PageUp:
        m_keyboardFocus = true;
        runAccessibilityAction(QAccessibleActionInterface::increaseAction());
        break;
    case Qt::Key_PageDown:
        m_keyboardFocus = true;
        runAccessibilityAction(QAccessibleActionInterface::decreaseAction());
        break;
    // The ends of the hue.
    case Qt::Key_Home:
    case Qt::Key_End:
        m_keyboardFocus = true;
        write(event->key() == Qt::Key_Home ? 0.0 : geometry::hueLimit, m_saturation);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (m_hue != now.hue || m_saturation != now.saturation)
        ui::a11y::announce(geometry::valueText(m_hue, m_saturation));
}

void ColourSpectrum::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = focusRing::cameByKeyboard(*event);
    update();
    QWidget::focusInEvent(event);
}

void ColourSpectrum::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

void ColourSpectrum::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        endDrag();
    QWidget::changeEvent(event);
}

void ColourSpectrum::hideEvent(QHideEvent *event)
{
    endDrag();
    QWidget::hideEvent(event);
}

void ColourSpectrum::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF field = fieldRect();
    paintField(painter, field);
    paintMarker(painter, field);
    if (showsFocusRing())
        focusRing::paint(painter, this, QRectF(rect()));
}

void ColourSpectrum::paintField(QPainter &painter, const QRectF &field) const
{
    const double inset = geometry::inset;
    const QPainterPath shape = ui::shapes::roundedRect(field, cornerRadius);
    QLinearGradient hues(field.left() + inset, 0, field.right() - inset, 0);
    for (int i = 0; i <= 6; ++i)
        hues.setColorAt(i / 6.0, colourOf(i == 6 ? 0 : i / 6.0, 1));
    painter.fillPath(shape, hues);
    QLinearGradient whitening(0, field.top() + inset, 0, field.bottom() - inset);
    whitening.setColorAt(0, ui::colours::white(0));
    whitening.setColorAt(1, ui::colours::white());
    painter.fillPath(shape, whitening);
    ui::shapes::strokeInside(painter, field, cornerRadius, 1, ui::colours::black(0.05));
}

void ColourSpectrum::paintMarker(QPainter &painter, const QRectF &field) const
{
    const QPointF centre = field.topLeft() + geometry::markerCentre(m_hue, m_saturation, field.size());
    const double size = markerSize * m_markerScale.value();
    const QRectF marker(centre.x() - size / 2, centre.y() - size / 2, size, size);
    ui::DropShadow{ui::colours::black(0.14), 1.5, {0, 1}}.paintUnderRoundedRect(painter, marker, ui::shapes::capsule);
    painter.fillPath(ui::shapes::roundedRect(marker, ui::shapes::capsule), colourOf(m_hue, m_saturation));
    ui::shapes::strokeInside(painter, marker, ui::shapes::capsule, 2, ui::colours::white());
}

} // namespace vantora::controls
