#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vantora::controls {

// A button of the controls whose state assistive technologies read as a value ("Expanded")
// or, for a button that is on or off (a favourite, a room's lights), as a check box that is
// checked while on. Readers say a check box's state as it changes and keep its name; a new
// name or the pressed state of a push button they may not say at all. The button is a
// QAbstractButton that also derives from this.
class AccessibleButtonValue {
public:
    virtual ~AccessibleButtonValue() = default;
    // Empty: the button has no value.
    virtual QString accessibleValueText() const = 0;
    // Whether a button that is on or off is on; none for a button that only acts.
    virtual std::optional<bool> accessibleChecked() const { return std::nullopt; }
};

// Makes sure the factory for such buttons is installed; the buttons call it when created.
void installAccessibleButtonFactory();

// Tells assistive technologies that the checked state of `button` changed.
void announceCheckedChange(QWidget *button);

} // namespace vantora::controls
