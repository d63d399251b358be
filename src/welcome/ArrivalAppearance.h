#pragma once

#include "ui/ColorScheme.h"

#include <QColor>
#include <QString>

// How the arrival pill looks in each of its states, and part of the way between them.
namespace vantora::arrivalAppearance {

enum class State {
    Loading,
    Connected,
};

struct Colours final {
    // Text, check mark, spinner and the coloured shadow.
    QColor tint;
    QColor backgroundTop;
    QColor backgroundBottom;
    QColor rimTop;
    QColor rimMiddle;
    QColor rimBottom;

    friend bool operator==(const Colours &, const Colours &) = default;
};

Colours colours(State state, ui::ColorScheme scheme);
// `connectedness` runs from 0 (loading) to 1 (connected); a spring may carry it a little
// past either end, where the colours stay at that end's.
Colours blended(double connectedness, ui::ColorScheme scheme);

QString text(State state);
// The width of the state's text in the application's font at 14 pixels, medium weight,
// rounded up to a whole pixel.
int labelWidth(State state);

} // namespace vantora::arrivalAppearance
