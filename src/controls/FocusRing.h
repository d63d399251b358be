#pragma once

#include <Qt>

class QFocusEvent;
class QPainter;
class QRectF;
class QWidget;

// The controls' own keyboard focus ring: it shows only while focus came, or is being used,
// by keyboard, so a click that focuses a slider shows nothing and Tab does.
namespace vantora::controls::focusRing {

// How far the ring reaches beyond the control on every side; controls that draw it keep
// this much margin around their content.
inline constexpr double outset = 3;

// Whether a focus change should show the ring: focus arrived from the keyboard.
bool cameByKeyboard(const QFocusEvent &event);

// Strokes the ring inside `bounds` (the content grown by the outset) in the desktop's
// orange of `widget`'s colour scheme, with corners of `cornerRadius`.
void paint(QPainter &painter, const QWidget *widget, const QRectF &bounds, double cornerRadius = 8);

} // namespace vantora::controls::focusRing
