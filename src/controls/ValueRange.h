#pragma once

namespace vantora::controls {

// The closed span of values a control edits. Bounds arrive from lights and rooms, so they may
// be anything a double can hold; `sanitised()` gives the span the controls actually use.
struct ValueRange final {
    double lower = 0;
    double upper = 1;

    // A non-finite lower bound becomes 0; an upper bound that is not finite or lies below the
    // lower one becomes the lower bound, so the span is empty rather than reversed.
    ValueRange sanitised() const;

    // `value` raised to the lower bound, then lowered to the upper one; a value that is not
    // finite reads as the lower bound. Never undefined, whatever the bounds.
    double clamp(double value) const;

    friend bool operator==(const ValueRange &, const ValueRange &) = default;
};

} // namespace vantora::controls
