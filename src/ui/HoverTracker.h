#pragma once

#include <QObject>

class QWidget;

namespace vantora::ui {

// Whether the pointer is over a widget: entering sets it, leaving or hiding the widget clears
// it. Disabled widgets are tracked too; whoever paints decides what hovering a disabled
// widget shows.
//
// Nothing is reported once the widget's own class has been torn down: a widget destroyed
// under the pointer is still sent a leave by QWidget's destructor, when the receiver that
// would animate its hover (and the animation itself) are already gone.
class HoverTracker final : public QObject {
    Q_OBJECT
public:
    // Made by `target` while it is built, so that its class (which declares Q_OBJECT) is the
    // one whose teardown ends the reports.
    explicit HoverTracker(QWidget *target);

    bool isHovered() const noexcept { return m_hovered; }

Q_SIGNALS:
    void hoveredChanged(bool hovered);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setHovered(bool hovered);

    // The class of the widget as it was when it made its tracker.
    const QMetaObject *m_targetType;
    bool m_hovered = false;
};

} // namespace vantora::ui
