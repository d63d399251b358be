#pragma once

#include "controls/ValueRange.h"

#include <QString>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QAccessible>
#endif

class QWidget;

namespace vantora::controls {

// What a control that presents itself to assistive technologies as a plain slider tells
// them. The control is a QWidget that also derives from this; its element is made on
// demand by the accessibility factory this file installs.
class AccessibleSliderSource {
public:
    virtual ~AccessibleSliderSource() = default;

    virtual double accessibleValue() const = 0;
    virtual ValueRange accessibleRange() const = 0;
    virtual QString accessibleLabel() const = 0;
    virtual QString accessibleValueText() const = 0;
    // A write from an assistive technology; the control drops it while disabled.
    virtual void setValueFromAccessibility(double value) = 0;
    // The step the screen rounds the value to ("50 %" for 49.98, "2700 K" for 2702.7):
    // assistive technologies get the value and its bounds rounded alike.
    virtual double accessibleStep() const { return 1; }
};

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// A slider's element that also carries its value text ("72 percent", "2700 kelvin") as the
// "valuetext" object attribute, the text readers speak for a slider's value in place of the
// bare number. Qt gives elements object attributes from 6.8 on; with an older Qt a reader
// says the number alone.
class ValueTextAttribute : public QAccessibleAttributesInterface {
public:
    QList<QAccessible::Attribute> attributeKeys() const override;
    QVariant attributeValue(QAccessible::Attribute key) const override;

protected:
    // Empty: no attribute.
    virtual QString spokenValue() const = 0;
};
#endif

// `value` rounded to the step of `source`, halves away from zero.
double shownValue(const AccessibleSliderSource &source, double value);

// Makes sure the factory is installed; controls call it when they are created.
void installAccessibleSliderFactory();

// Tells assistive technologies that `control`'s value changed.
void announceSliderValue(QWidget *control, double value);

// A reader says a value it can count in a way of its own beside any text the value has:
// before it the bare number ("2700", then "2700 kelvin"), or after it the value's place in its
// range ("2700 kelvin 59 percent"). A value that needs its text then reaches readers as the
// text alone: its element has no value interface and tells of no value change, the text is
// its description (before Qt 6.8) or its value text, and keys that move it read it out.
// Before Qt 6.8 a percentage is no such value: its number says it all. From 6.8 on every value
// is: a percentage's text ("72 percent") and its place in the range would be the same words.

// After a key moved `control`'s value: reads out a value that needs its text ("2750 kelvin").
void announceSteppedValue(QWidget *control);

} // namespace vantora::controls
