#include "ui/ScrollArea.h"

#include <QScrollBar>

#include <algorithm>

namespace vantora::ui {

ScrollArea::ScrollArea(QWidget *parent)
    : QScrollArea(parent)
    , m_position(this, "scrollPosition", 0, [this] {
        m_applying = true;
        verticalScrollBar()->setValue(qRound(m_position.value()));
        m_applying = false;
    })
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    // No stop of its own: Tab reaches the controls inside, and the keys they leave (Page
    // Down) still come up to it.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ScrollArea::followUserScroll);
}

void ScrollArea::animateTo(int y, const Animation &animation)
{
    const QScrollBar *bar = verticalScrollBar();
    const int target = std::clamp(y, bar->minimum(), bar->maximum());
    // Start from where the content is now, which the user may have moved since the last motion.
    m_position.setImmediately(bar->value());
    m_position.animateTo(target, animation);
}

void ScrollArea::followUserScroll(int value)
{
    if (!m_applying)
        m_position.setImmediately(value);
}

} // namespace vantora::ui
