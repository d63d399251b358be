#pragma once

#include <QWidget>

#include <vector>

class QAbstractButton;
class QButtonGroup;

namespace vantora::ui {

// A row of segments of which exactly one is selected, drawn as the panel's own controls are
// in the scheme of its surroundings: a sunken track with the selected segment raised on it.
// Each segment is a button of its own for pointer, keyboard and assistive technologies; the
// control itself carries the label that names the choice (read out, not shown).
class SegmentedControl final : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(const QString &accessibleLabel, QWidget *parent = nullptr);

    // Adds a segment showing `text` that stands for `id`; the first one added is selected.
    QAbstractButton *addSegment(const QString &text, int id);
    // Selects the segment of `id` without emitting `idClicked`; unknown ids change nothing.
    void setSelected(int id);
    int selected() const;
    QAbstractButton *segment(int id) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A segment was chosen by the user, also the one already selected.
    void idClicked(int id);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    class Segment;

    QButtonGroup *m_group;
    std::vector<Segment *> m_segments;
};

} // namespace vantora::ui
