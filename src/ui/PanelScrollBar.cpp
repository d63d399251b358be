#include "ui/PanelScrollBar.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace vantora::ui {

void usePanelScrollBar(QAbstractScrollArea &area)
{
    area.verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { width: 7px; background: transparent; margin: 2px 1px 2px 0; }"
        "QScrollBar::handle:vertical { background: rgba(128, 128, 128, 0.45); border-radius: 3px; min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line, QScrollBar::add-page, QScrollBar::sub-page "
        "{ height: 0; background: transparent; }"));
}

} // namespace vantora::ui
