#include "controls/AccessibleSlider.h"

#include "controls/Readouts.h"

#include "ui/Accessibility.h"

#include <QAccessibleValueInterface>
#include <QHash>
#include <QAccessibleWidget>
#include <QWidget>

namespace vantora::controls {

namespace {

// Before Qt 6.8 a percentage reads well as a bare number; any other value ("2700") needs its
// unit, which its text carries ("2700 kelvin"). From 6.8 on readers get every value's text, and
// one that can count the value says its place in the range after the text ("72 percent 72
// percent"): every value then reaches them as its text alone.
bool needsValueText([[maybe_unused]] const AccessibleSliderSource &source)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    return true;
#else
    return source.accessibleRange().sanitised().upper > 100;
#endif
}

class AccessibleSlider final : public QAccessibleWidget,
                               public QAccessibleValueInterface
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    ,
                               public ValueTextAttribute
#endif
{
public:
    AccessibleSlider(QWidget *widget, AccessibleSliderSource &source)
        : QAccessibleWidget(widget, QAccessible::Slider)
        , m_source(source)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return needsValueText(m_source) ? nullptr : static_cast<QAccessibleValueInterface *>(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        if (type == QAccessible::AttributesInterface)
            return static_cast<QAccessibleAttributesInterface *>(this);
#endif
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return m_source.accessibleLabel();
        case QAccessible::Value:
            return m_source.accessibleValueText();
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        case QAccessible::Description:
            // Read with the focus, in place of a value.
            if (const QString own = QAccessibleWidget::text(kind); !own.isEmpty() || !needsValueText(m_source))
                return own;
            return m_source.accessibleValueText();
#endif
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
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QString spokenValue() const override { return m_source.accessibleValueText(); }
#endif

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

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
QList<QAccessible::Attribute> ValueTextAttribute::attributeKeys() const
{
    if (spokenValue().isEmpty())
        return {};
    return {QAccessible::Attribute::Custom};
}

QVariant ValueTextAttribute::attributeValue(QAccessible::Attribute key) const
{
    const QString text = spokenValue();
    if (key != QAccessible::Attribute::Custom || text.isEmpty())
        return {};
    return QVariant::fromValue(QHash<QString, QString>{{QStringLiteral("valuetext"), text}});
}
#endif

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
    if (source && needsValueText(*source))
        return;
    QAccessibleValueChangeEvent event(control, source ? shownValue(*source, value) : value);
    QAccessible::updateAccessibility(&event);
}

void announceSteppedValue(QWidget *control)
{
    // Its owner gives the control the new value's text once told of the change: the text is
    // read after that.
    const auto *source = dynamic_cast<const AccessibleSliderSource *>(control);
    if (source && needsValueText(*source)) {
        QMetaObject::invokeMethod(
            control, [source] { ui::a11y::announce(source->accessibleValueText()); }, Qt::QueuedConnection);
    }
}

} // namespace vantora::controls
