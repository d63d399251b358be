#pragma once

#include <QObject>

class QWidget;

namespace vantora::ui {

// Whether the pointer is over a widget: entering sets it, leaving or hiding the widget clears
// it. Disabled widgets are tracked too; whoever paints decides what hovering a disabled
// widget shows.
class HoverTracker final : public QObject {
    Q_OBJECT
public:
    explicit HoverTracker(QWidget *target);

    bool isHovered() const noexcept { return m_hovered; }

Q_SIGNALS:
    void hoveredChanged(bool hovered);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setHovered(bool hovered);

    bool m_hovered = false;
};

} // namespace vantora::ui
