#pragma once

#include "controls/ValueRange.h"

#include <QSizeF>

#include <optional>

namespace vantora::controls {

enum class SliderSize {
    // The detail page's brightness and white-temperature rows.
    Full,
    // The room brightness control's slim, vertical and percentage styles.
    Compact,
};

enum class SliderOrientation {
    // The value grows from left to right.
    Horizontal,
    // The value grows from bottom to top; lengths along the track are measured upwards.
    Vertical,
};

// Where the value slider's parts sit along its length. "Length" is the extent along the
// track (the width of a horizontal slider, the height of a vertical one) and "position" is
// measured along it from the end that holds the lower bound.
struct SliderGeometry final {
    double thickness = 32;     // across the track: the slider's height when horizontal
    double trackInset = 15;    // the knob centre's distance from either end at the bounds
    double trackBarThickness = 12;
    QSizeF knob{30, 20};       // along x across
    double knobScaleWhileDragging = 1.3;
    double fillGlowRadius = 3.5;

    static SliderGeometry of(SliderSize size);

    // The distance the knob centre travels: the length less both insets, at least 1.
    double trackLength(double length) const;

    // Where the knob centre sits for `fraction` (0 … 1) of the range.
    double knobCentre(double fraction, double length) const;

    // The fraction a pointer at `position` asks for: 0 at or before the lower inset, 1 at
    // or beyond the upper one, 0 for a position that is not a number.
    double fractionAt(double position, double length) const;
};

// How far `value` lies along `range`, for drawing: 0 below the range and for a value or
// range that is not finite, 1 above it. An empty range divides by 0.001, so its lower bound
// sits at 0. The value itself is never changed by drawing.
double sliderFraction(double value, ValueRange range);

// The value a pointer drag writes for `fraction` of the range (an empty range always
// gives its lower bound).
double sliderValueAt(double fraction, ValueRange range);

enum class SliderStep {
    Down,
    Up,
    PageDown,
    PageUp,
    ToLower,
    ToUpper,
};

// The step a key takes on a slider, as desktops' own sliders take it: Left and Down one
// step down, Right and Up one up, Page Down and Page Up a page, Home and End to the bounds;
// none for any other key.
std::optional<SliderStep> sliderStepForKey(int key);

// A step of a hundredth of the range, a page of a tenth, or to a bound. Stepping down gives
// max(value − step, lower) and up gives min(value + step, upper), so a value already outside
// the range moves by one step towards it from the far side only. A non-finite value starts
// from the lower bound.
double sliderStepped(double value, ValueRange range, SliderStep direction);

} // namespace vantora::controls
