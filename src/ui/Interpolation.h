#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Values part of the way between two others, for animated values. `progress` may leave 0…1
// (springs overshoot); colours clamp their components, geometry does not.
namespace vantora::ui {

inline double interpolate(double from, double to, double progress)
{
    return from + (to - from) * progress;
}

inline QPointF interpolate(const QPointF &from, const QPointF &to, double progress)
{
    return from + (to - from) * progress;
}

inline QSizeF interpolate(const QSizeF &from, const QSizeF &to, double progress)
{
    return from + (to - from) * progress;
}

inline QRectF interpolate(const QRectF &from, const QRectF &to, double progress)
{
    return {interpolate(from.topLeft(), to.topLeft(), progress), interpolate(from.size(), to.size(), progress)};
}

QColor interpolate(const QColor &from, const QColor &to, double progress);

} // namespace vantora::ui
