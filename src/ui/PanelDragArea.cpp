#include "ui/PanelDragArea.h"

#include "ui/Accessibility.h"
#include "ui/WindowMover.h"

#include <QEvent>
#include <QMouseEvent>

namespace vantora::ui {

namespace {

// Keeps a top strip over the panel's full width and above its other children.
class TopStripKeeper final : public QObject {
public:
    TopStripKeeper(QWidget *panel, PanelDragArea *strip)
        : QObject(strip)
        , m_panel(panel)
        , m_strip(strip)
    {
        panel->installEventFilter(this);
        fit();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_panel) {
            if (event->type() == QEvent::Resize)
                fit();
            else if (event->type() == QEvent::ChildAdded)
                m_strip->raise();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void fit()
    {
        m_strip->setGeometry(0, 0, m_panel->width(), PanelDragArea::topStripHeight);
        m_strip->raise();
    }

    QWidget *m_panel;
    PanelDragArea *m_strip;
};

} // namespace

PanelDragArea::PanelDragArea(QWidget *parent)
    : QWidget(parent)
{
}

PanelDragArea *PanelDragArea::addTopStrip(QWidget *panel)
{
    auto *strip = new PanelDragArea(panel);
    strip->setObjectName(QStringLiteral("panel-drag-strip"));
    a11y::setHidden(strip);
    new TopStripKeeper(panel, strip);
    strip->show();
    return strip;
}

WindowMover &PanelDragArea::mover() const
{
    WindowMover *chosen = Environment::of(this).value(windowMoverKey);
    return chosen ? *chosen : WindowMover::system();
}

void PanelDragArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // The press is the area's either way; it never falls through to what lies beneath.
    event->accept();
    QWidget *top = window();
    if (!top->windowHandle())
        return;
    m_moving = true;
    mover().pressed(*top, event->globalPosition().toPoint());
}

void PanelDragArea::mouseMoveEvent(QMouseEvent *event)
{
    if (m_moving)
        mover().moved(event->globalPosition().toPoint());
}

void PanelDragArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_moving) {
        m_moving = false;
        mover().released();
    }
}

} // namespace vantora::ui
