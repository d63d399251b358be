#pragma once

#include <QWidget>

namespace vantora {

namespace ui {
class PanelDragArea;
}

// A page's header row: its children sit in front of a drag area that fills the row, so a
// press anywhere in the row but on a control moves the panel.
class HeaderRow final : public QWidget {
    Q_OBJECT
public:
    explicit HeaderRow(QWidget *parent = nullptr);

    ui::PanelDragArea *dragArea() const noexcept { return m_dragArea; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    ui::PanelDragArea *m_dragArea;
};

} // namespace vantora
