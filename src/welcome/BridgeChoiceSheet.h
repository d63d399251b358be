#pragma once

#include "bridge/DiscoveredBridge.h"

#include <QAbstractButton>
#include <QWidget>

#include <vector>

class QPushButton;
class QVBoxLayout;

namespace vantora {

namespace ui {
class ElidedLabel;
class TextLabel;
}

// One bridge to choose: its name, then its address in the secondary colour at the far end,
// both plain text, with 10 pixels of padding; the whole row takes clicks. The address is
// always shown whole; a name too long for the rest of the row ends in "…".
class BridgeChoiceRow final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int padding = 10;

    BridgeChoiceRow(const DiscoveredBridge &bridge, QWidget *parent);

    void setBridge(const DiscoveredBridge &bridge);
    const DiscoveredBridge &bridge() const noexcept { return m_bridge; }
    QString shownName() const;
    QString shownAddress() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DiscoveredBridge m_bridge;
    ui::ElidedLabel *m_name;
    ui::TextLabel *m_address;
};

// The content of the sheet that chooses among the bridges a search found: a title, one row
// per bridge in the list's order, and Cancel. Rows are kept and updated in place as the
// list changes; an empty list leaves the title and Cancel.
class BridgeChoiceSheet final : public QWidget {
    Q_OBJECT
public:
    explicit BridgeChoiceSheet(QWidget *parent = nullptr);

    void setBridges(const std::vector<DiscoveredBridge> &bridges);
    const std::vector<BridgeChoiceRow *> &rows() const noexcept { return m_rows; }
    QPushButton *cancelButton() const noexcept { return m_cancel; }
    // Where the keyboard starts: the first bridge, else Cancel.
    QWidget *focusTarget() const;

Q_SIGNALS:
    void bridgeChosen(const QString &address);
    void cancelRequested();

private:
    QVBoxLayout *m_rowColumn;
    std::vector<BridgeChoiceRow *> m_rows;
    QPushButton *m_cancel;
};

} // namespace vantora
