#pragma once

class QAbstractScrollArea;

namespace vantora::ui {

// Gives `area` the panel's vertical scroll bar: a thin rounded handle over the content's
// edge, with no gutter, arrows or groove of the style's own, in either scheme.
void usePanelScrollBar(QAbstractScrollArea &area);

} // namespace vantora::ui
