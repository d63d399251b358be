#include "controls/AccessibleSlider.h"

#include "controls/Readouts.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QWidget>

namespace vantora::controls {

namespace {

class AccessibleSlider final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AccessibleSlider(QWidget *widget, AccessibleSliderSource &source)
        : QAccessibleWidget(widget, QAccessible::Slider)
        , m_source(source)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return m_source.accessibleLabel();
        case QAccessible::Value:
            return m_source.accessibleValueText();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    QVariant currentValue() const override { return shownValue(m_source, m_source.accessibleValue()); }
    void setCurrentValue(const QVariant &value) override
    {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok)
            m_source.setValueFromAccessibility(number);
    }
    QVariant maximumValue() const override { return shownValue(m_source, m_source.accessibleRange().sanitised().upper); }
    QVariant minimumValue() const override { return shownValue(m_source, m_source.accessibleRange().sanitised().lower); }
    // A continuous slider: assistive technologies choose their own increments.
    QVariant minimumStepSize() const override { return 0.0; }

private:
    AccessibleSliderSource &m_source;
};

QAccessibleInterface *sliderFactory(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (auto *source = dynamic_cast<AccessibleSliderSource *>(widget))
        return new AccessibleSlider(widget, *source);
    return nullptr;
}

} // namespace

void installAccessibleSliderFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(sliderFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

double shownValue(const AccessibleSliderSource &source, double value)
{
    const double step = source.accessibleStep() > 0 ? source.accessibleStep() : 1;
    return double(readouts::rounded(value / step)) * step;
}

void announceSliderValue(QWidget *control, double value)
{
    if (!QAccessible::isActive())
        return;
    const auto *source = dynamic_cast<const AccessibleSliderSource *>(control);
    QAccessibleValueChangeEvent event(control, source ? shownValue(*source, value) : value);
    QAccessible::updateAccessibility(&event);
}

} // namespace vantora::controls
