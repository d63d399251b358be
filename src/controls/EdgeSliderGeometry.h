#pragma once

#include "controls/ValueRange.h"

#include <QString>

// The tall room edge slider's track: 144 high, the value travelling over the 128 points
// between an 8-point inset at the bottom and one at the top. Heights are measured upwards
// from the track's bottom edge, positions (y) downwards from its top edge.
namespace vantora::controls::edgeSliderGeometry {

inline constexpr double trackWidth = 32;
inline constexpr double trackHeight = 144;
inline constexpr double inset = 8;
inline constexpr double travel = 128;
inline constexpr int tickCount = 11;

// (value − lower) / max(upper − lower, 1) within 0 … 1, so a range narrower than one point
// divides by 1; 0 for a value that is not finite.
double fraction(double value, ValueRange range);

// The fill's height, which is also the knob's centre line.
double fillHeight(double fraction);

// The value a pointer at `y` asks for: the upper bound at or above y = 8, the lower bound at
// or below y = 136 (and for a y that is not a number).
double valueAt(double y, ValueRange range);

// Tick `index` (0 … 10): its bottom edge's height and its width (the wide ones mark 0, 50
// and 100 percent of the range).
double tickBottom(int index);
double tickWidth(int index);

// One arrow step, kept within the range.
double stepped(double value, double step, ValueRange range);

// The percentage line: "42%", or "—" when the slider is disabled.
QString percentageText(double value, bool enabled);

} // namespace vantora::controls::edgeSliderGeometry
