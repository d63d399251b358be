#pragma once

#include <QWidget>

namespace vantora::ui {

// Widgets stacked on top of each other, each filling the whole area; the one added last is
// on top. A covered layer stays alive with all its view state (scroll position, an open room,
// a text being typed) but is not shown, takes no input and is left out of the accessibility
// tree, until it is uncovered again.
class Layers final : public QWidget {
    Q_OBJECT
public:
    explicit Layers(QWidget *parent = nullptr);

    // Takes `layer` as a child, on top of the layers so far.
    void addLayer(QWidget *layer);
    // Takes `layer` as a child, directly above `below` (a layer of this stack).
    void insertLayerAbove(QWidget *layer, QWidget *below);

    void setCovered(QWidget *layer, bool covered);
    bool isCovered(const QWidget *layer) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidgetList layers() const;
    void adopt(QWidget *layer);
    void placeLayers();
};

} // namespace vantora::ui
