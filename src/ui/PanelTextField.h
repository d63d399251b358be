#pragma once

#include <QLineEdit>

namespace vantora::ui {

// A line edit drawn as the panel's own text field in the scheme of its surroundings, outlined
// in the accent colour while it has focus. Text, placeholder and selection keep the colours
// of its palette.
class PanelTextField final : public QLineEdit {
    Q_OBJECT
public:
    explicit PanelTextField(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vantora::ui
