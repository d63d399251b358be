#pragma once

#include <QString>

namespace vantora::controls {

// A button of the controls whose state assistive technologies read as a value ("Favourite",
// "Expanded"). The button is a QAbstractButton that also derives from this.
class AccessibleButtonValue {
public:
    virtual ~AccessibleButtonValue() = default;
    virtual QString accessibleValueText() const = 0;
};

// Makes sure the factory for such buttons is installed; the buttons call it when created.
void installAccessibleButtonFactory();

} // namespace vantora::controls
