#include "panel/HeaderRow.h"

#include "ui/Accessibility.h"
#include "ui/PanelDragArea.h"

namespace vantora {

HeaderRow::HeaderRow(QWidget *parent)
    : QWidget(parent)
    , m_dragArea(new ui::PanelDragArea(this))
{
    ui::a11y::setHidden(m_dragArea);
    m_dragArea->lower();
}

void HeaderRow::resizeEvent(QResizeEvent *event)
{
    m_dragArea->setGeometry(rect());
    QWidget::resizeEvent(event);
}

} // namespace vantora
