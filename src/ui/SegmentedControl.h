#pragma once

#include <QWidget>

#include <vector>

class QAbstractButton;
class QButtonGroup;

namespace vantora::ui {

// A row of segments of which exactly one is selected, drawn as the panel's own controls are
// in the scheme of its surroundings: a sunken track with the selected segment raised on it.
// It is one control holding one choice: a single Tab stop whose arrow keys move the choice,
// presented to assistive technologies as a group of radio buttons named by its label. The
// label is read out always, and shown before the track when asked.
class SegmentedControl final : public QWidget {
    Q_OBJECT
public:
    enum class LabelVisibility : quint8 { shown, hidden };

    SegmentedControl(const QString &label, LabelVisibility labelVisibility, QWidget *parent = nullptr);

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
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    class Segment;

    // Whether the selected segment wears the focus ring: the control has the focus, which
    // came from the keyboard.
    bool showsFocusRing() const { return hasFocus() && m_focusCameByKeyboard; }
    // The shown label and the space after it, before the track.
    int labelExtent() const;
    QRect trackRect() const;

    QButtonGroup *m_group;
    QWidget *m_label = nullptr;
    std::vector<Segment *> m_segments;
    bool m_focusCameByKeyboard = false;
};

} // namespace vantora::ui
