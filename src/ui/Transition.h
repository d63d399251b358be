#pragma once

#include "ui/Animation.h"

#include <QPointF>

class QObject;
class QWidget;

namespace vantora::ui {

// How a widget comes into view and leaves it: from (and to) a place `offset` away from where
// it sits, fading in (and out) when `fades`. The arriving widget is real at once, in its
// final place: it takes clicks and is read by assistive technologies while its picture moves
// in. The leaving widget goes at once; a picture of it (a ghost that takes no input and is
// hidden from accessibility) moves away in its place.
struct Transition final {
    // What becomes of the transition under Reduce Motion.
    enum class UnderReduceMotion {
        // The offset is dropped; a fading transition still fades.
        FadeOnly,
        // No effect at all: the widget just appears or goes.
        Identity,
    };

    QPointF offset;
    bool fades = true;
    UnderReduceMotion underReduceMotion = UnderReduceMotion::FadeOnly;

    static Transition opacity() { return {}; }
    static Transition slide(QPointF offset, UnderReduceMotion rule = UnderReduceMotion::FadeOnly)
    {
        return {offset, true, rule};
    }

    // The transition as it runs under the given Reduce Motion setting.
    Transition resolved(bool reduceMotion) const;
    bool isIdentity() const { return !fades && offset.isNull(); }

    friend bool operator==(const Transition &, const Transition &) = default;
};

enum class Departure {
    Hide,
    Delete,
};

// Shows `widget` with `transition` (resolved for its Reduce Motion setting) under `animation`,
// which the caller has already chosen (none for an instant change). Records the choice as the
// widget's "transition" motion, none when nothing moves.
void transitionIn(QWidget *widget, const Transition &transition, const Animation &animation);

// Hides (or deletes, later) `widget` at once; under an animation a ghost of it leaves with
// `transition`. Records the choice as transitionIn does.
void transitionOut(QWidget *widget, const Transition &transition, const Animation &animation, Departure departure);

// Whether `object` is a ghost of a leaving or arriving widget (containers that place their
// children skip ghosts).
bool isTransitionGhost(const QObject *object);

} // namespace vantora::ui
