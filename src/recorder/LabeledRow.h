#pragma once

#include <QWidget>

class QLabel;

namespace vantora::recorder {

// A control with its label in front of it, the label's baseline level with the control's.
class LabeledRow final : public QWidget {
    Q_OBJECT
public:
    // Takes `control` as a child. The label is plain text.
    LabeledRow(const QString &label, QWidget *control, QWidget *parent = nullptr);
    // A label view of the caller's making.
    LabeledRow(QWidget *label, QWidget *control, QWidget *parent = nullptr);

    QWidget *label() const noexcept { return m_label; }
    QWidget *control() const noexcept { return m_control; }

private:
    QWidget *m_label;
    QWidget *m_control;
};

} // namespace vantora::recorder
