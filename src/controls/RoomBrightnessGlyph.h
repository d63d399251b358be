#pragma once

#include <QPainterPath>
#include <QRectF>

// The sun of the room brightness button: a disc and eight rays that grow one after another,
// clockwise from the top, as the progress rises. Only ever stroked.
namespace vantora::controls::roomBrightnessGlyph {

// The box the glyph is laid out in; a path for another rectangle is this one scaled.
inline constexpr double boxWidth = 40;
inline constexpr double boxHeight = 30;

// How far ray `ray` (0 … 7) has grown at `progress` (0 … 1): 8 × progress − ray, kept
// within 0 … 1; 0 for a progress that is not a number.
double rayGrowth(double progress, int ray);

// The rays (each a 1-point stub, growing to 2 points) and then the disc's outline, for
// `rect`.
QPainterPath path(double progress, const QRectF &rect);

// The progress the button shows: the brightness as a fraction while expanded, else 0.
double progressFor(double brightnessPercent, bool expanded);

} // namespace vantora::controls::roomBrightnessGlyph
