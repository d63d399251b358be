#pragma once

#include <QStringList>

class QWidget;

namespace vantora::testing {

// What a person looks for in a picture of a view, found in its widget tree instead. Each
// returns one line per fault, naming the widgets, and is empty for a sound view. Only
// widgets visible inside `root` count.

// Texts cut off by their widget: a label whose text (as laid out, wrapped where the label
// wraps) needs more room than its contents rectangle, or a button whose words are wider or
// taller than the button. Texts that end in "…" by design are drawn to fit and never count.
QStringList clippedTexts(const QWidget &root);

// Controls that overlap: two sibling widgets whose rectangles share any pixel, where each is
// presented to accessibility as text or as something to operate. Backdrops and layers that
// cover their siblings on purpose are neither and never count.
QStringList overlappingControls(const QWidget &root);

} // namespace vantora::testing
