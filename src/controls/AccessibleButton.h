#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vantora::controls {

// A button of the controls whose state assistive technologies read as a value ("Expanded",
// "Lights on") or, for a button that stays pressed while on, as its pressed state. The
// button is a QAbstractButton that also derives from this.
class AccessibleButtonValue {
public:
    virtual ~AccessibleButtonValue() = default;
    // Empty: the button has no value.
    virtual QString accessibleValueText() const = 0;
    // Whether a toggle button is pressed; none for a button that only acts.
    virtual std::optional<bool> accessiblePressed() const { return std::nullopt; }
};

// Makes sure the factory for such buttons is installed; the buttons call it when created.
void installAccessibleButtonFactory();

// Tells assistive technologies that the pressed state of `button` changed.
void announcePressedChange(QWidget *button);

} // namespace vantora::controls
