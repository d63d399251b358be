#pragma once

#include <QWidget>

#include <memory>
#include <vector>

namespace vantora::ui {

// The placing half of KeyedColumn: stacks its rows top to bottom at the column's width, each
// at its height for that width, with a fixed spacing. A row that moves to a new position
// moves there under the current transaction's animation (immediately under Reduce Motion);
// rows keep their place when only the width changes.
class KeyedColumnBase : public QWidget {
    Q_OBJECT
public:
    void setSpacing(int spacing);
    int spacing() const noexcept { return m_spacing; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    explicit KeyedColumnBase(QWidget *parent);
    ~KeyedColumnBase() override;

    // The rows in display order; rows left out are no longer placed (the caller removes them).
    void setOrder(const std::vector<QWidget *> &rows);

    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Slot;

    static int rowHeight(const QWidget *row, int width);
    void place(bool animated);

    std::vector<std::unique_ptr<Slot>> m_slots;
    int m_spacing = 0;
};

} // namespace vantora::ui
